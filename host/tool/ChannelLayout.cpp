#include "ChannelLayout.h"

namespace zandrel::tool {
namespace {

// More channels than any plug-in of this interface level has; a larger count is a broken record.
constexpr std::int32_t kMostChannels = 64;

std::string count(std::int32_t n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

}  // namespace

std::optional<std::string> layoutProblem(std::int32_t fileChannels, std::int32_t inputs, std::int32_t outputs,
                                         bool inPlace) {
    if (inputs < 1 || inputs > kMostChannels || outputs < 1 || outputs > kMostChannels)
        return "the plug-in has " + count(inputs, "input") + " and " + count(outputs, "output") +
               "; rendering needs 1 to " + std::to_string(kMostChannels) + " of each";
    if (fileChannels != inputs && fileChannels != 1)
        return "the file has " + count(fileChannels, "channel") + " and the plug-in takes " + count(inputs, "input");
    if (inPlace && outputs > inputs)
        return "--in-place needs no more outputs than inputs; the plug-in has " + count(inputs, "input") + " and " +
               count(outputs, "output");
    return std::nullopt;
}

}  // namespace zandrel::tool
