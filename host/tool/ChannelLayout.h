// Which channel counts a render can connect to a plug-in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zandrel::tool {

// Why a file with `fileChannels` cannot feed the plug-in, or nothing when it can:
// the counts match, or a mono file feeds every input.
std::optional<std::string> layoutProblem(std::int32_t fileChannels, std::int32_t inputs, std::int32_t outputs,
                                         bool inPlace);

}  // namespace zandrel::tool
