#include "SampleConversion.h"

#include <sndfile.h>

#include <cmath>

namespace zandrel::tool {

int pcmBits(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return 8;
        case SF_FORMAT_PCM_16: return 16;
        case SF_FORMAT_PCM_24: return 24;
        case SF_FORMAT_PCM_32: return 32;
        default: return 0;
    }
}

std::int32_t toPcm(float y, int bits) {
    if (std::isnan(y)) return 0;
    const double full = std::ldexp(1.0, bits - 1);
    // Exact in double for every float and every width up to 32 bits.
    const double scaled = std::nearbyint(static_cast<double>(y) * full);
    const double clamped = std::fmin(std::fmax(scaled, -full), full - 1.0);
    const auto value = static_cast<std::int64_t>(clamped);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) << (32 - bits)));
}

}  // namespace zandrel::tool
