// plughost: parses the command line, runs one subcommand, and turns any
// failure into one line on stderr and its exit code.
#include "Bench.h"
#include "Diff.h"
#include "Help.h"
#include "Info.h"
#include "Options.h"
#include "Plot.h"
#include "Render.h"
#include "ToolError.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

using namespace zandrel::tool;

namespace {

int run(const Command& command) {
    if (std::holds_alternative<HelpCommand>(command)) {
        std::fputs(kHelpText, stdout);
    } else if (const auto* info = std::get_if<InfoCommand>(&command)) {
        zandrel::host::HostSettings settings;
        settings.recordCalls = false;
        Session session(info->plugin, settings);
        session.apply(info->settings);
        const PluginInfo gathered = inspect(session);
        if (info->json)
            printJson(gathered, stdout);
        else
            printText(gathered, stdout);
    } else if (const auto* r = std::get_if<RenderCommand>(&command)) {
        render(*r);
    } else if (const auto* d = std::get_if<DiffCommand>(&command)) {
        return diff(*d);
    } else if (const auto* b = std::get_if<BenchCommand>(&command)) {
        bench(*b);
    } else if (const auto* p = std::get_if<PlotCommand>(&command)) {
        plot(*p);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const int status = run(parseCommandLine(args));
        if (std::fflush(stdout) != 0) throw ToolError(ExitCode::kAudioFile, "cannot write the standard output");
        return status;
    } catch (const ToolError& error) {
        std::fprintf(stderr, "plughost: %s\n", error.what());
        return static_cast<int>(error.code());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "plughost: %s\n", error.what());
        return static_cast<int>(ExitCode::kInternal);
    }
}
