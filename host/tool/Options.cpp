#include "Options.h"

#include "ToolError.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>

namespace zandrel::tool {
namespace {

// Large enough for a whole file at once in tests, small enough to allocate.
constexpr std::int64_t kLargestBlock = 1 << 20;

[[noreturn]] void bad(const std::string& message) { throw ToolError(ExitCode::kBadOption, message); }

template <class T>
T parseNumber(const std::string& option, const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) bad(option + ": not a number: '" + text + "'");
    return value;
}

std::int32_t parseCount(const std::string& option, const std::string& text, std::int64_t low, std::int64_t high) {
    const auto value = parseNumber<std::int64_t>(option, text);
    if (value < low || value > high)
        bad(option + ": " + text + " is outside " + std::to_string(low) + ".." + std::to_string(high));
    return static_cast<std::int32_t>(value);
}

double parsePositive(const std::string& option, const std::string& text, double high) {
    const auto value = parseNumber<double>(option, text);
    if (!(value > 0.0 && value <= high)) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", high);
        bad(option + ": " + text + " must be above 0 and at most " + limit);
    }
    return value;
}

ParameterValue parseParameter(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) bad("--param: expected INDEX=VALUE, got '" + text + "'");
    const auto index = parseCount("--param", text.substr(0, equals), 0, std::numeric_limits<std::int32_t>::max());
    const auto value = parseNumber<float>("--param", text.substr(equals + 1));
    // Normalised values are all the interface defines; anything else is a typo here.
    if (!(value >= 0.0f && value <= 1.0f)) bad("--param " + text + ": the value must be from 0 to 1");
    return {index, value};
}

std::vector<std::int32_t> parseBlockList(const std::string& text) {
    std::vector<std::int32_t> blocks;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        blocks.push_back(parseCount("--blocks", text.substr(start, comma - start), 1, kLargestBlock));
        if (comma == std::string::npos) return blocks;
        start = comma + 1;
    }
}

std::string parseChoice(const std::string& option, const std::string& text,
                        std::initializer_list<const char*> choices) {
    std::string known;
    for (const char* choice : choices) {
        if (text == choice) return text;
        known += known.empty() ? choice : std::string(", ") + choice;
    }
    bad(option + ": '" + text + "' is not one of " + known);
}

// One subcommand's grammar: options with or without a value, then positionals.
class Grammar {
public:
    using ValueHandler = std::function<void(const std::string&)>;

    void flag(const std::string& name, std::function<void()> handler) { flags_[name] = std::move(handler); }
    void value(const std::string& name, ValueHandler handler) { values_[name] = std::move(handler); }

    // Returns false when --help was asked for.
    bool parse(const std::string& command, std::span<const std::string> args, std::vector<std::string*> positionals) {
        std::size_t next = 0;
        bool optionsEnded = false;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (!optionsEnded && arg == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
                return false;
            } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
                const auto equals = arg.find('=');
                const std::string name = arg.substr(0, equals);
                if (auto f = flags_.find(name); f != flags_.end()) {
                    if (equals != std::string::npos) bad(name + " takes no value");
                    f->second();
                } else if (auto v = values_.find(name); v != values_.end()) {
                    if (equals != std::string::npos)
                        v->second(arg.substr(equals + 1));
                    else if (i + 1 < args.size())
                        v->second(args[++i]);
                    else
                        bad(name + " needs a value");
                } else {
                    bad(command + ": unknown option " + name);
                }
            } else {
                if (next == positionals.size()) bad(command + ": unexpected argument '" + arg + "'");
                *positionals[next++] = arg;
            }
        }
        if (next < positionals.size()) bad(command + ": missing arguments (see plughost --help)");
        return true;
    }

private:
    std::map<std::string, std::function<void()>> flags_;
    std::map<std::string, ValueHandler> values_;
};

void addPluginSettings(Grammar& grammar, PluginSettings& settings) {
    grammar.value("--program", [&](const std::string& v) {
        settings.program = parseCount("--program", v, 0, std::numeric_limits<std::int32_t>::max());
    });
    grammar.value("--param", [&](const std::string& v) { settings.parameters.push_back(parseParameter(v)); });
}

void addSampleRate(Grammar& grammar, double& rate) {
    grammar.value("--sample-rate", [&](const std::string& v) { rate = parsePositive("--sample-rate", v, 1.0e6); });
}

}  // namespace

Command parseCommandLine(std::span<const std::string> args) {
    if (args.empty()) bad("no command given (see plughost --help)");
    const std::string& name = args[0];
    const auto rest = args.subspan(1);
    Grammar grammar;
    if (name == "help" || name == "--help" || name == "-h") return HelpCommand{};
    if (name == "info") {
        InfoCommand c;
        addPluginSettings(grammar, c.settings);
        grammar.flag("--json", [&] { c.json = true; });
        if (!grammar.parse(name, rest, {&c.plugin})) return HelpCommand{};
        return c;
    }
    if (name == "render") {
        RenderCommand c;
        addPluginSettings(grammar, c.settings);
        grammar.value("--block", [&](const std::string& v) { c.block = parseCount("--block", v, 1, kLargestBlock); });
        grammar.value("--random-blocks",
                      [&](const std::string& v) { c.randomSeed = parseNumber<std::uint64_t>("--random-blocks", v); });
        grammar.value("--sample-rate",
                      [&](const std::string& v) { c.sampleRate = parsePositive("--sample-rate", v, 1.0e6); });
        grammar.flag("--accumulate", [&] { c.accumulate = true; });
        grammar.flag("--in-place", [&] { c.inPlace = true; });
        grammar.flag("--quiet", [&] { c.quiet = true; });
        grammar.value("--type", [&](const std::string& v) {
            c.type = parseChoice("--type", v, {"wav", "aiff", "flac"});
        });
        grammar.value("--encoding", [&](const std::string& v) {
            c.encoding = parseChoice("--encoding", v, {"pcm16", "pcm24", "pcm32", "float", "double"});
        });
        if (!grammar.parse(name, rest, {&c.plugin, &c.input, &c.output})) return HelpCommand{};
        return c;
    }
    if (name == "diff") {
        DiffCommand c;
        grammar.value("--tolerance", [&](const std::string& v) {
            c.tolerance = parseNumber<double>("--tolerance", v);
            if (!(*c.tolerance >= 0.0 && std::isfinite(*c.tolerance))) bad("--tolerance: must be 0 or more");
        });
        if (!grammar.parse(name, rest, {&c.first, &c.second})) return HelpCommand{};
        return c;
    }
    if (name == "bench") {
        BenchCommand c;
        addPluginSettings(grammar, c.settings);
        addSampleRate(grammar, c.sampleRate);
        grammar.value("--blocks", [&](const std::string& v) { c.blocks = parseBlockList(v); });
        grammar.value("--seconds", [&](const std::string& v) { c.seconds = parsePositive("--seconds", v, 600.0); });
        grammar.value("--runs", [&](const std::string& v) { c.runs = parseCount("--runs", v, 1, 10000); });
        grammar.value("--warmup", [&](const std::string& v) { c.warmup = parseCount("--warmup", v, 0, 10000); });
        if (!grammar.parse(name, rest, {&c.plugin})) return HelpCommand{};
        return c;
    }
    if (name == "plot") {
        PlotCommand c;
        addPluginSettings(grammar, c.settings);
        addSampleRate(grammar, c.sampleRate);
        grammar.flag("--programs", [&] { c.everyProgram = true; });
        if (!grammar.parse(name, rest, {&c.plugin, &c.output})) return HelpCommand{};
        return c;
    }
    bad("unknown command '" + name + "' (see plughost --help)");
}

}  // namespace zandrel::tool
