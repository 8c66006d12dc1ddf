// The kernel sixteen samples a step with AVX2 and FMA; this file alone is
// compiled for them. Only intrinsics and this file's own functions: a shared
// inline function compiled here could be the copy the linker keeps for every
// caller, on processors without AVX2 as well.
#include "KernelVariants.h"
#include "LoopSelect.h"

#include <immintrin.h>

#include <cstdint>

namespace zandrel {
namespace {

// As in the SSE2 loop, the integer lanes carry s << 16 (v itself after the
// arithmetic shift), and the wet gain absorbs the scale.
template <Operation Op>
struct Constants {
    explicit Constants(const KernelSettings& s)
        : operand(_mm256_set1_epi32(static_cast<std::int32_t>(std::uint32_t{s.mask} << 16))),
          count(_mm_cvtsi32_si128(Op == kOpShiftRight ? 16 + simd::shiftDistance(s.bitCount)
                                  : Op == kOpRollLeft ? simd::rotation(s.bitCount)
                                                      : simd::shiftDistance(s.bitCount))),
          wet(_mm256_set1_pd(static_cast<double>(s.wet) * (Op == kOpShiftRight ? 0x1p-15 : 0x1p-31))),
          dry(_mm256_set1_pd(static_cast<double>(s.dry))),
          master(_mm256_set1_pd(static_cast<double>(s.master))) {}

    const __m256i operand;
    const __m128i count;  // of the shift or rotation
    const __m256d wet, dry, master;
};

template <Operation Op>
[[gnu::always_inline]] inline __m256i operate(__m256i s, const Constants<Op>& c) {
    if constexpr (Op == kOpRollLeft) {
        // u in both halves: the high half of (u:u) << n is u rotated by n, for n of 0..16.
        const __m256i both = _mm256_shuffle_epi8(
            s, _mm256_set_epi64x(0x0D0C0D0C'09080908, 0x05040504'01000100, 0x0D0C0D0C'09080908, 0x05040504'01000100));
        return _mm256_and_si256(_mm256_sll_epi32(both, c.count), _mm256_set1_epi32(-65536));
    }
    const __m256i t = _mm256_slli_epi32(s, 16);
    if constexpr (Op == kOpXor) return _mm256_xor_si256(t, c.operand);
    if constexpr (Op == kOpAnd) return _mm256_and_si256(t, c.operand);
    if constexpr (Op == kOpOr) return _mm256_or_si256(t, c.operand);
    if constexpr (Op == kOpShiftLeft) return _mm256_sll_epi32(t, c.count);
    if constexpr (Op == kOpShiftRight) return _mm256_sra_epi32(t, c.count);
}

// x * 2^15 on the exponent field, as in the SSE2 loop.
[[gnu::always_inline]] inline __m256 scaleBy2To15(__m256 x) {
    return _mm256_castsi256_ps(_mm256_add_epi32(_mm256_castps_si256(x), _mm256_set1_epi32(15 << 23)));
}

// The exact low 16 bits for lanes whose 32-bit conversion failed; the
// reasoning is at the SSE2 loop's copy of this step.
[[gnu::noinline]] __m256i wideLowBits(__m256 x, __m256i converted) {
    const __m256i failed = _mm256_cmpeq_epi32(converted, _mm256_set1_epi32(INT32_MIN));
    const __m256 scaled = scaleBy2To15(x);
    const __m256 shift = _mm256_set1_ps(0x1.8p40f);
    const __m256i rest = _mm256_cvttps_epi32(_mm256_sub_ps(scaled, _mm256_sub_ps(_mm256_add_ps(scaled, shift), shift)));
    return _mm256_blendv_epi8(converted, rest, failed);
}

// Everything after the conversion, for eight samples.
template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
[[gnu::always_inline]] inline void finish(__m256 x, __m256i s, const float* input, float* output,
                                          const Constants<Op>& c) {
    const __m256i v = operate(s, c);
    // Both products are exact in double: fusing one with the sum rounds once, as the sum alone does.
    __m256d low = _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(v)), c.wet,
                                  _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(input)), c.dry));
    __m256d high = _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(v, 1)), c.wet,
                                   _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(input + 4)), c.dry));
    if constexpr (!UnityMaster) {
        low = _mm256_mul_pd(low, c.master);
        high = _mm256_mul_pd(high, c.master);
    }
    if constexpr (Mode == Store::kAccumulate) {
        low = _mm256_add_pd(low, _mm256_cvtps_pd(_mm_loadu_ps(output)));
        high = _mm256_add_pd(high, _mm256_cvtps_pd(_mm_loadu_ps(output + 4)));
    }
    __m256 y = _mm256_set_m128(_mm256_cvtpd_ps(high), _mm256_cvtpd_ps(low));

    if constexpr (Gate) {
        // Kept where x is ordered and not equal to 0: a mask, not a branch on the sign.
        const __m256 keep = _mm256_cmp_ps(x, _mm256_setzero_ps(), _CMP_NEQ_OQ);
        if constexpr (Mode == Store::kReplace)
            y = _mm256_and_ps(keep, y);
        else
            y = _mm256_blendv_ps(_mm256_loadu_ps(output), y, keep);
    }
    _mm256_storeu_ps(output, y);
}

// Sixteen samples a step, so that one test covers two conversions.
template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
[[gnu::always_inline]] inline void step(const float* input, float* output, const Constants<Op>& c) {
    const __m256 x0 = _mm256_loadu_ps(input);
    const __m256 x1 = _mm256_loadu_ps(input + 8);
    __m256i s0 = _mm256_cvttps_epi32(scaleBy2To15(x0));
    __m256i s1 = _mm256_cvttps_epi32(scaleBy2To15(x1));
    const __m256i failed = _mm256_or_si256(_mm256_cmpeq_epi32(s0, _mm256_set1_epi32(INT32_MIN)),
                                           _mm256_cmpeq_epi32(s1, _mm256_set1_epi32(INT32_MIN)));
    if (!_mm256_testz_si256(failed, failed)) [[unlikely]] {
        s0 = wideLowBits(x0, s0);
        s1 = wideLowBits(x1, s1);
    }
    finish<Op, Mode, Gate, UnityMaster>(x0, s0, input, output, c);
    finish<Op, Mode, Gate, UnityMaster>(x1, s1, input + 8, output + 8, c);
}

struct Loops {
    template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
    static void run(const float* input, float* output, std::int32_t frames, const KernelSettings& s) {
        const Constants<Op> c(s);
        std::int32_t i = 0;
        for (; i <= frames - 16; i += 16) step<Op, Mode, Gate, UnityMaster>(input + i, output + i, c);
        if (i < frames)
            simd::runTail<16>(input + i, output + i, frames - i,
                              [&c](const float* in, float* out) { step<Op, Mode, Gate, UnityMaster>(in, out, c); });
    }
};

}  // namespace

const ChannelKernels kAvx2Kernels{&simd::runSelected<Loops, Store::kReplace>,
                                  &simd::runSelected<Loops, Store::kAccumulate>};

}  // namespace zandrel
