// Float samples to the integers of a PCM file. libsndfile's own float-to-PCM
// path scales by 2^(bits-1) - 1 and wraps on overload, so an unchanged 16-bit
// sample would not survive a round trip; the tool quantises itself instead.
#pragma once

#include <cstdint>

namespace zandrel::tool {

// Bits per sample of a libsndfile PCM encoding (8 to 32), or 0 for any other encoding.
int pcmBits(int format);

// y × 2^(bits-1) rounded to nearest (ties to even), clamped to the format's
// range, NaN as 0; returned in the top bits of 32, as libsndfile's int calls expect.
std::int32_t toPcm(float y, int bits);

}  // namespace zandrel::tool
