// The kernel eight samples a step with SSE2, the vector set every processor the
// plug-in runs on has, so the 32-bit library can always take this path.
// Only intrinsics and this file's own functions: a shared inline function
// compiled here could be the copy the linker keeps for every caller.
#include "KernelVariants.h"
#include "LoopSelect.h"

#include <emmintrin.h>

#include <cstdint>

namespace zandrel {
namespace {

// The integer lanes carry s << 16. Its low half stays zero through every
// operation but the arithmetic shift, so v converts as v * 2^16 without a sign
// extension and the wet gain absorbs the 2^-16.
template <Operation Op>
struct Constants {
    explicit Constants(const KernelSettings& s)
        : operand(_mm_set1_epi32(static_cast<std::int32_t>(std::uint32_t{s.mask} << 16))),
          count(_mm_cvtsi32_si128(Op == kOpShiftRight ? 16 + simd::shiftDistance(s.bitCount)
                                  : Op == kOpRollLeft ? simd::rotation(s.bitCount)
                                                      : simd::shiftDistance(s.bitCount))),
          countBack(_mm_cvtsi32_si128(16 - simd::rotation(s.bitCount))),
          wet(_mm_set1_pd(static_cast<double>(s.wet) * (Op == kOpShiftRight ? 0x1p-15 : 0x1p-31))),
          dry(_mm_set1_pd(static_cast<double>(s.dry))),
          master(_mm_set1_pd(static_cast<double>(s.master))) {}

    const __m128i operand;
    const __m128i count;      // of the shift or rotation
    const __m128i countBack;  // 16 - rotation
    const __m128d wet, dry, master;
};

template <Operation Op>
[[gnu::always_inline]] inline __m128i operate(__m128i t, const Constants<Op>& c) {
    if constexpr (Op == kOpXor) return _mm_xor_si128(t, c.operand);
    if constexpr (Op == kOpAnd) return _mm_and_si128(t, c.operand);
    if constexpr (Op == kOpOr) return _mm_or_si128(t, c.operand);
    // Counts of 16 or more shift every bit of s out, as in the 32-bit shift.
    if constexpr (Op == kOpShiftLeft) return _mm_sll_epi32(t, c.count);
    // By 16 more: v itself, sign-extended (the count saturates at 31).
    if constexpr (Op == kOpShiftRight) return _mm_sra_epi32(t, c.count);
    if constexpr (Op == kOpRollLeft) {
        const __m128i wrapped = _mm_and_si128(_mm_srl_epi32(t, c.countBack), _mm_set1_epi32(-65536));
        return _mm_or_si128(_mm_sll_epi32(t, c.count), wrapped);
    }
}

// x * 2^15 by adding 15 to the exponent field: exact below 2^113, and no float
// multiply of a subnormal, which is slow. Zeros and subnormals land below 1.0
// and truncate to 0, as their products would; larger exponents overflow into
// values that truncate to 0 or fail, both right for them.
[[gnu::always_inline]] inline __m128 scaleBy2To15(__m128 x) {
    return _mm_castsi128_ps(_mm_add_epi32(_mm_castps_si128(x), _mm_set1_epi32(15 << 23)));
}

// Lanes where the 32-bit conversion failed (|x| >= 2^16, infinities, NaNs)
// still need the low 16 bits of the 64-bit truncation. Rounding the scaled
// value to a multiple of 2^17 and taking that away leaves a rest below 2^16
// with the same low bits: from 2^31 on the scaled value is a multiple of 2^8,
// so every step is exact; an infinity or a NaN leaves a NaN, whose conversion
// has zero low bits.
[[gnu::noinline]] __m128i wideLowBits(__m128 x, __m128i converted) {
    const __m128i failed = _mm_cmpeq_epi32(converted, _mm_set1_epi32(INT32_MIN));
    const __m128 scaled = scaleBy2To15(x);
    const __m128 shift = _mm_set1_ps(0x1.8p40f);
    const __m128i rest = _mm_cvttps_epi32(_mm_sub_ps(scaled, _mm_sub_ps(_mm_add_ps(scaled, shift), shift)));
    return _mm_or_si128(_mm_and_si128(failed, rest), _mm_andnot_si128(failed, converted));
}

// Floats 2 and 3 of memory as doubles: a load, where a shuffle would take a
// vector port.
[[gnu::always_inline]] inline __m128d highPairAsDouble(const float* p) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 2))));
}

// Everything after the conversion, for four samples.
template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
[[gnu::always_inline]] inline void finish(__m128 x, __m128i s, const float* input, float* output,
                                          const Constants<Op>& c) {
    const __m128i v = operate(_mm_slli_epi32(s, 16), c);
    // Both products are exact in double, so only the sum and the master gain round.
    const __m128d wetLow = _mm_mul_pd(_mm_cvtepi32_pd(v), c.wet);
    const __m128d wetHigh = _mm_mul_pd(_mm_cvtepi32_pd(_mm_unpackhi_epi64(v, v)), c.wet);
    __m128d low = _mm_add_pd(wetLow, _mm_mul_pd(_mm_cvtps_pd(x), c.dry));
    __m128d high = _mm_add_pd(wetHigh, _mm_mul_pd(highPairAsDouble(input), c.dry));
    if constexpr (!UnityMaster) {
        low = _mm_mul_pd(low, c.master);
        high = _mm_mul_pd(high, c.master);
    }
    const __m128 old = Mode == Store::kAccumulate ? _mm_loadu_ps(output) : _mm_setzero_ps();
    if constexpr (Mode == Store::kAccumulate) {
        low = _mm_add_pd(low, _mm_cvtps_pd(old));
        high = _mm_add_pd(high, highPairAsDouble(output));
    }
    __m128 y = _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high));

    if constexpr (Gate) {
        // Kept where 0 < |x|: false for both zeros and every NaN, with no branch.
        const __m128 magnitude = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(INT32_MAX)));
        const __m128 keep = _mm_cmplt_ps(_mm_setzero_ps(), magnitude);
        if constexpr (Mode == Store::kReplace)
            y = _mm_and_ps(keep, y);
        else
            y = _mm_or_ps(_mm_and_ps(keep, y), _mm_andnot_ps(keep, old));
    }
    _mm_storeu_ps(output, y);
}

// Eight samples a step, so that one test covers two conversions.
template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
[[gnu::always_inline]] inline void step(const float* input, float* output, const Constants<Op>& c) {
    const __m128 x0 = _mm_loadu_ps(input);
    const __m128 x1 = _mm_loadu_ps(input + 4);
    __m128i s0 = _mm_cvttps_epi32(scaleBy2To15(x0));
    __m128i s1 = _mm_cvttps_epi32(scaleBy2To15(x1));
    const __m128i failed =
        _mm_or_si128(_mm_cmpeq_epi32(s0, _mm_set1_epi32(INT32_MIN)), _mm_cmpeq_epi32(s1, _mm_set1_epi32(INT32_MIN)));
    if (_mm_movemask_epi8(failed) != 0) [[unlikely]] {
        s0 = wideLowBits(x0, s0);
        s1 = wideLowBits(x1, s1);
    }
    finish<Op, Mode, Gate, UnityMaster>(x0, s0, input, output, c);
    finish<Op, Mode, Gate, UnityMaster>(x1, s1, input + 4, output + 4, c);
}

struct Loops {
    template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
    static void run(const float* input, float* output, std::int32_t frames, const KernelSettings& s) {
        const Constants<Op> c(s);
        std::int32_t i = 0;
        for (; i <= frames - 8; i += 8) step<Op, Mode, Gate, UnityMaster>(input + i, output + i, c);
        if (i < frames)
            simd::runTail<8>(input + i, output + i, frames - i,
                             [&c](const float* in, float* out) { step<Op, Mode, Gate, UnityMaster>(in, out, c); });
    }
};

}  // namespace

const ChannelKernels kSse2Kernels{&simd::runSelected<Loops, Store::kReplace>,
                                  &simd::runSelected<Loops, Store::kAccumulate>};

}  // namespace zandrel
