#include "Render.h"

#include "AudioFile.h"
#include "BlockSizes.h"
#include "ChannelLayout.h"
#include "Progress.h"
#include "Session.h"
#include "ToolError.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace zandrel::tool {
namespace {

// Shorter files finish before a bar would be worth reading.
constexpr double kSecondsWorthAProgressBar = 10.0;

}  // namespace

void render(const RenderCommand& command) {
    AudioReader input(command.input);
    const AudioFormat& in = input.format();
    const double rate = command.sampleRate.value_or(in.sampleRate);
    BlockSizes blocks(command.block, command.randomSeed);

    Session session(command.plugin, processingSettings(rate, blocks.largest()));
    const AEffect& record = session.record();
    const std::int32_t inputs = record.numInputs, outputs = record.numOutputs;
    if (auto problem = layoutProblem(in.channels, inputs, outputs, command.inPlace))
        throw ToolError(ExitCode::kBadLayout, command.input + ": " + *problem);
    const AudioFormat out = chooseOutputFormat({in.format, outputs, in.sampleRate}, command.type, command.encoding);

    // A plug-in without the replacing entry is driven through the accumulating one, as hosts do.
    const bool accumulate = command.accumulate || !(record.flags & effFlagsCanReplacing);
    session.configure();
    session.apply(command.settings);
    session.resume();

    AudioWriter writer(command.output, out);
    const auto block = static_cast<std::size_t>(blocks.largest());
    std::vector<float> fileFrames(block * static_cast<std::size_t>(std::max(in.channels, outputs)));
    std::vector<std::vector<float>> inputBuffers(static_cast<std::size_t>(inputs), std::vector<float>(block));
    std::vector<std::vector<float>> outputBuffers(static_cast<std::size_t>(outputs), std::vector<float>(block));
    std::vector<float*> inputPointers, outputPointers;
    for (auto& b : inputBuffers) inputPointers.push_back(b.data());
    for (std::size_t i = 0; i < outputBuffers.size(); ++i)
        outputPointers.push_back(command.inPlace ? inputPointers[i] : outputBuffers[i].data());

    Progress progress(input.frames(), static_cast<std::int64_t>(kSecondsWorthAProgressBar * in.sampleRate),
                      !command.quiet);
    const auto fileChannels = static_cast<std::size_t>(in.channels);
    std::int64_t done = 0;
    while (true) {
        const std::int64_t frames = input.read(fileFrames.data(), blocks.next());
        if (frames <= 0) break;
        const auto n = static_cast<std::size_t>(frames);
        for (std::size_t c = 0; c < inputBuffers.size(); ++c) {
            const std::size_t source = fileChannels == 1 ? 0 : c;
            for (std::size_t i = 0; i < n; ++i) inputBuffers[c][i] = fileFrames[i * fileChannels + source];
        }
        if (!command.inPlace)
            for (auto& b : outputBuffers) std::fill_n(b.begin(), n, 0.0f);
        if (accumulate)
            session.plugin().process(inputPointers.data(), outputPointers.data(), static_cast<std::int32_t>(n));
        else
            session.plugin().processReplacing(inputPointers.data(), outputPointers.data(),
                                              static_cast<std::int32_t>(n));
        const auto outChannels = static_cast<std::size_t>(outputs);
        for (std::size_t c = 0; c < outChannels; ++c)
            for (std::size_t i = 0; i < n; ++i) fileFrames[i * outChannels + c] = outputPointers[c][i];
        writer.write(fileFrames.data(), frames);
        done += frames;
        progress.update(done);
    }
    session.suspend();
    writer.commit();
}

}  // namespace zandrel::tool
