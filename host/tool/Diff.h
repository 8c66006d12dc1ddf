// `plughost diff`: two sound files compared sample by sample.
#pragma once

#include "Options.h"

#include <cstdint>
#include <optional>
#include <span>

namespace zandrel::tool {

struct SamplePosition {
    std::int64_t frame;
    std::int32_t channel;
};

struct DiffStats {
    bool identical = true;                // every sample has the same bits (-0.0 differs from +0.0)
    std::optional<SamplePosition> first;  // the first sample whose bits differ
    double maxAbsolute = 0.0;             // NaN when a NaN meets a number
    double sumOfSquares = 0.0;
    std::int64_t samples = 0;
    double rms() const;
};

// Adds one block of interleaved samples, `frame` being the first frame's number.
void accumulateDiff(DiffStats& stats, std::span<const double> a, std::span<const double> b, std::int32_t channels,
                    std::int64_t frame);

// Prints the comparison; kOk when the files match within the tolerance, else kDifferent.
int diff(const DiffCommand& command);

}  // namespace zandrel::tool
