#include "Diff.h"

#include "AudioFile.h"
#include "ToolError.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <vector>

namespace zandrel::tool {

double DiffStats::rms() const { return samples == 0 ? 0.0 : std::sqrt(sumOfSquares / static_cast<double>(samples)); }

void accumulateDiff(DiffStats& stats, std::span<const double> a, std::span<const double> b, std::int32_t channels,
                    std::int64_t frame) {
    const auto perFrame = static_cast<std::size_t>(channels);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::bit_cast<std::uint64_t>(a[i]) == std::bit_cast<std::uint64_t>(b[i])) continue;
        if (stats.identical) {
            stats.identical = false;
            stats.first = SamplePosition{frame + static_cast<std::int64_t>(i / perFrame),
                                         static_cast<std::int32_t>(i % perFrame)};
        }
        // Two NaNs differ in bits but not in size; a NaN against a number makes both measures NaN.
        if (std::isnan(a[i]) && std::isnan(b[i])) continue;
        const double difference = std::fabs(a[i] - b[i]);
        if (!std::isnan(stats.maxAbsolute) && !(difference <= stats.maxAbsolute)) stats.maxAbsolute = difference;
        stats.sumOfSquares += difference * difference;
    }
    stats.samples += static_cast<std::int64_t>(a.size());
}

int diff(const DiffCommand& command) {
    AudioReader a(command.first);
    AudioReader b(command.second);
    const AudioFormat& fa = a.format();
    const AudioFormat& fb = b.format();
    if (fa.channels != fb.channels || a.frames() != b.frames()) {
        std::printf("different shape: %s has %d channels x %lld frames, %s has %d x %lld\n", command.first.c_str(),
                    fa.channels, static_cast<long long>(a.frames()), command.second.c_str(), fb.channels,
                    static_cast<long long>(b.frames()));
        return static_cast<int>(ExitCode::kDifferent);
    }
    constexpr std::int64_t kBlock = 65536;
    const auto size = static_cast<std::size_t>(kBlock) * static_cast<std::size_t>(fa.channels);
    std::vector<double> bufferA(size), bufferB(size);
    DiffStats stats;
    for (std::int64_t frame = 0;;) {
        const std::int64_t n = a.read(bufferA.data(), kBlock);
        if (n <= 0 || b.read(bufferB.data(), n) != n) break;
        const auto samples = static_cast<std::size_t>(n) * static_cast<std::size_t>(fa.channels);
        accumulateDiff(stats, {bufferA.data(), samples}, {bufferB.data(), samples}, fa.channels, frame);
        frame += n;
    }
    if (fa.sampleRate != fb.sampleRate)
        std::printf("note: sample rates differ (%d and %d Hz)\n", fa.sampleRate, fb.sampleRate);
    if (stats.identical) {
        std::printf("identical: %lld samples\n", static_cast<long long>(stats.samples));
        return static_cast<int>(ExitCode::kOk);
    }
    std::printf("different: first at frame %lld channel %d; max abs difference %.9g, rms difference %.9g\n",
                static_cast<long long>(stats.first->frame), stats.first->channel, stats.maxAbsolute, stats.rms());
    const bool within = command.tolerance && stats.maxAbsolute <= *command.tolerance;  // false for NaN
    if (within) std::printf("within tolerance %.9g\n", *command.tolerance);
    return static_cast<int>(within ? ExitCode::kOk : ExitCode::kDifferent);
}

}  // namespace zandrel::tool
