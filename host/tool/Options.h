// The command line as data: one struct per subcommand, filled by parseCommandLine.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace zandrel::tool {

struct ParameterValue {
    std::int32_t index;
    float value;
};

// Applied after loading, in this order: the program, then each parameter as given.
struct PluginSettings {
    std::optional<std::int32_t> program;
    std::vector<ParameterValue> parameters;
};

struct HelpCommand {};

struct InfoCommand {
    std::string plugin;
    PluginSettings settings;  // applied before the parameters are read
    bool json = false;
};

struct RenderCommand {
    std::string plugin;
    std::string input;
    std::string output;
    PluginSettings settings;
    std::int32_t block = 512;                 // the block size, or the largest random one
    std::optional<std::uint64_t> randomSeed;  // draw each block's size from 1..block
    std::optional<double> sampleRate;         // what the plug-in is told; the file's by default
    bool accumulate = false;
    bool inPlace = false;
    std::optional<std::string> type;      // output container: wav, aiff, flac
    std::optional<std::string> encoding;  // output samples: pcm16, pcm24, pcm32, float, double
    bool quiet = false;
};

struct DiffCommand {
    std::string first;
    std::string second;
    std::optional<double> tolerance;  // largest absolute difference still a match; else bits must match
};

struct BenchCommand {
    std::string plugin;
    PluginSettings settings;
    std::vector<std::int32_t> blocks{32, 64, 512, 4096};
    double sampleRate = 44100.0;
    double seconds = 1.0;  // length of the signal each run processes
    std::int32_t runs = 10;
    std::int32_t warmup = 2;
};

struct PlotCommand {
    std::string plugin;
    std::string output;
    PluginSettings settings;
    bool everyProgram = false;  // one panel per factory program instead of the current settings
    double sampleRate = 44100.0;
};

using Command = std::variant<HelpCommand, InfoCommand, RenderCommand, DiffCommand, BenchCommand, PlotCommand>;

// Throws ToolError(kBadOption) naming the offending argument.
Command parseCommandLine(std::span<const std::string> args);

}  // namespace zandrel::tool
