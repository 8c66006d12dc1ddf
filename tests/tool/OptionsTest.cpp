// The command line: what each subcommand accepts, and the one-line reason it gives otherwise.
#include "Options.h"
#include "ToolError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zandrel::tool {
namespace {

Command parse(std::vector<std::string> args) { return parseCommandLine(args); }

TEST(Options, RenderTakesEveryOptionInAnyOrderAndBothSpellingsOfAValue) {
    const auto c = std::get<RenderCommand>(parse({"render",
                                                  "--program",
                                                  "3",
                                                  "p.so",
                                                  "--param",
                                                  "0=0.25",
                                                  "in.wav",
                                                  "--param=6=1",
                                                  "--block=64",
                                                  "--random-blocks",
                                                  "42",
                                                  "out.flac",
                                                  "--sample-rate",
                                                  "48000",
                                                  "--accumulate",
                                                  "--in-place",
                                                  "--type",
                                                  "flac",
                                                  "--encoding",
                                                  "pcm24",
                                                  "--quiet"}));
    EXPECT_EQ(c.plugin, "p.so");
    EXPECT_EQ(c.input, "in.wav");
    EXPECT_EQ(c.output, "out.flac");
    EXPECT_EQ(c.settings.program, 3);
    ASSERT_EQ(c.settings.parameters.size(), 2u);
    EXPECT_EQ(c.settings.parameters[0].index, 0);
    EXPECT_EQ(c.settings.parameters[0].value, 0.25f);
    EXPECT_EQ(c.settings.parameters[1].index, 6);
    EXPECT_EQ(c.settings.parameters[1].value, 1.0f);
    EXPECT_EQ(c.block, 64);
    EXPECT_EQ(c.randomSeed, 42u);
    EXPECT_EQ(c.sampleRate, 48000.0);
    EXPECT_TRUE(c.accumulate && c.inPlace && c.quiet);
    EXPECT_EQ(c.type, "flac");
    EXPECT_EQ(c.encoding, "pcm24");
}

TEST(Options, DefaultsAreThoseTheHelpPromises) {
    const auto r = std::get<RenderCommand>(parse({"render", "p", "i", "o"}));
    EXPECT_EQ(r.block, 512);
    EXPECT_FALSE(r.randomSeed || r.sampleRate || r.type || r.encoding || r.settings.program);
    EXPECT_FALSE(r.accumulate || r.inPlace);
    const auto b = std::get<BenchCommand>(parse({"bench", "p"}));
    EXPECT_EQ(b.blocks, (std::vector<std::int32_t>{32, 64, 512, 4096}));
    EXPECT_EQ(b.runs, 10);
    EXPECT_EQ(b.warmup, 2);
}

TEST(Options, EachSubcommandReadsItsOwnOptions) {
    EXPECT_TRUE(std::get<InfoCommand>(parse({"info", "--json", "p.so"})).json);
    EXPECT_EQ(std::get<DiffCommand>(parse({"diff", "a", "b", "--tolerance", "1e-6"})).tolerance, 1e-6);
    EXPECT_EQ(std::get<BenchCommand>(parse({"bench", "p", "--blocks", "1,7,4096"})).blocks,
              (std::vector<std::int32_t>{1, 7, 4096}));
    const auto plot = std::get<PlotCommand>(parse({"plot", "p", "o.svg", "--programs"}));
    EXPECT_TRUE(plot.everyProgram);
    EXPECT_EQ(plot.output, "o.svg");
    // After "--" a name that starts with a dash is a file.
    EXPECT_EQ(std::get<InfoCommand>(parse({"info", "--", "-odd.so"})).plugin, "-odd.so");
}

TEST(Options, HelpIsAvailableEverywhere) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"help"}, {"--help"}, {"-h"}, {"render", "--help"}, {"info", "p", "-h"}}) {
        SCOPED_TRACE(args[0] + " " + args.back());
        EXPECT_TRUE(std::holds_alternative<HelpCommand>(parse(args)));
    }
}

TEST(Options, RejectsBadValuesNamingTheOption) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no command"},
        {{"play", "p"}, "unknown command 'play'"},
        {{"info"}, "missing arguments"},
        {{"info", "p", "extra"}, "unexpected argument 'extra'"},
        {{"info", "p", "--colour"}, "unknown option --colour"},
        {{"info", "p", "--json=yes"}, "--json takes no value"},
        {{"render", "p", "i", "o", "--block"}, "--block needs a value"},
        {{"render", "p", "i", "o", "--block", "0"}, "--block: 0 is outside 1..1048576"},
        {{"render", "p", "i", "o", "--block", "1048577"}, "outside"},
        {{"render", "p", "i", "o", "--block", "12k"}, "--block: not a number: '12k'"},
        {{"render", "p", "i", "o", "--block", ""}, "not a number"},
        {{"render", "p", "i", "o", "--program", "-1"}, "--program: -1 is outside"},
        {{"render", "p", "i", "o", "--param", "3"}, "expected INDEX=VALUE"},
        {{"render", "p", "i", "o", "--param", "x=0.5"}, "not a number: 'x'"},
        {{"render", "p", "i", "o", "--param", "1=1.5"}, "must be from 0 to 1"},
        {{"render", "p", "i", "o", "--param", "1=-0.1"}, "must be from 0 to 1"},
        {{"render", "p", "i", "o", "--param", "1=nan"}, "must be from 0 to 1"},
        {{"render", "p", "i", "o", "--param", "-2=0.5"}, "outside"},
        {{"render", "p", "i", "o", "--random-blocks", "-5"}, "not a number"},
        {{"render", "p", "i", "o", "--sample-rate", "0"}, "must be above 0"},
        {{"render", "p", "i", "o", "--sample-rate", "inf"}, "must be above 0"},
        {{"render", "p", "i", "o", "--type", "mp3"}, "'mp3' is not one of wav, aiff, flac"},
        {{"render", "p", "i", "o", "--encoding", "pcm12"}, "is not one of"},
        {{"diff", "a", "b", "--tolerance", "-1"}, "--tolerance: must be 0 or more"},
        {{"bench", "p", "--blocks", "32,,64"}, "--blocks: not a number"},
        {{"bench", "p", "--runs", "0"}, "--runs: 0 is outside"},
        {{"bench", "p", "--seconds", "601"}, "--seconds"},
        {{"plot", "p", "o", "--program", "two"}, "--program: not a number"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        SCOPED_TRACE(joined);
        try {
            parse(c.args);
            ADD_FAILURE() << "accepted";
        } catch (const ToolError& error) {
            EXPECT_EQ(error.code(), ExitCode::kBadOption);
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << "one line";
        }
    }
}

}  // namespace
}  // namespace zandrel::tool
