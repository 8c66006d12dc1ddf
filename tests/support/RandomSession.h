// Seeded random settings and signals for tests that drive whole instances,
// and the hostile values a host may pass where the contract allows 0..1.
#pragma once

#include "PluginInstance.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace zandrel::test {

inline constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
inline constexpr float kInfinity = std::numeric_limits<float>::infinity();

inline constexpr std::array<float, 10> kHostileValues{
    kNaN, -kNaN, kInfinity, -kInfinity, -1.0f, 1.5f, 1e30f, -1e-30f, std::numeric_limits<float>::denorm_min(), -0.0f};

// Either seed comes from the test, which prints it on failure.
inline std::uint32_t freshSeed() { return std::random_device{}(); }

// A factory program, then every parameter at a random value, now and then a
// hostile one.
inline void applyRandomSettings(host::PluginInstance& plugin, std::mt19937& random) {
    plugin.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(random() % 5));
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (std::int32_t index = 0; index < 7; ++index) {
        const bool hostile = random() % 8 == 0;
        plugin.setParameter(index, hostile ? kHostileValues[random() % kHostileValues.size()] : unit(random));
    }
}

// Mostly audio in -1.5..1.5, with zeros, signed zeros, NaNs and infinities mixed in.
inline std::vector<float> randomSignal(std::mt19937& random, std::size_t frames) {
    std::uniform_real_distribution<float> audio(-1.5f, 1.5f);
    constexpr std::array<float, 5> kSpecial{0.0f, -0.0f, kNaN, kInfinity, 1.0f};
    std::vector<float> signal(frames);
    for (float& x : signal) x = random() % 16 == 0 ? kSpecial[random() % kSpecial.size()] : audio(random);
    return signal;
}

struct Stereo {
    std::vector<float> left, right;
};

inline Stereo randomStereo(std::mt19937& random, std::size_t frames) {
    return {randomSignal(random, frames), randomSignal(random, frames)};
}

// Processes [begin, begin + frames) of the stream into the same frames of out.
inline void processSpan(host::PluginInstance& plugin, Stereo& in, Stereo& out, std::size_t begin, std::int32_t frames,
                        bool replacing) {
    float* inputs[] = {in.left.data() + begin, in.right.data() + begin};
    float* outputs[] = {out.left.data() + begin, out.right.data() + begin};
    if (replacing)
        plugin.processReplacing(inputs, outputs, frames);
    else
        plugin.process(inputs, outputs, frames);
}

// The first frame at which two signals differ in any bit, or -1; NaNs compare
// by their patterns.
inline std::ptrdiff_t firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

}  // namespace zandrel::test
