// The kernel sixteen samples a step with AVX-512 (F, DQ and VL; the dispatch
// also asks for BW); this file alone is compiled for it. Only intrinsics and
// this file's own functions: a shared inline function compiled here could be
// the copy the linker keeps for every caller.
#include "KernelVariants.h"
#include "LoopSelect.h"

#include <immintrin.h>

#include <cstdint>

namespace zandrel {
namespace {

// The packed truncation to 64 bits gives x86's INT64_MIN for NaNs, infinities
// and magnitudes from 2^63 on, exactly as the scalar conversion does, so no lane
// needs a correction. The integer lanes carry s << 48 (v itself after the
// arithmetic shift); the wet gain absorbs the scale.
template <Operation Op>
struct Constants {
    explicit Constants(const KernelSettings& s)
        : operand(_mm512_set1_epi64(static_cast<std::int64_t>(std::uint64_t{s.mask} << 48))),
          count(_mm_cvtsi32_si128(Op == kOpShiftRight ? 48 + simd::shiftDistance(s.bitCount)
                                  : Op == kOpRollLeft ? simd::rotation(s.bitCount)
                                                      : simd::shiftDistance(s.bitCount))),
          countBack(_mm_cvtsi32_si128(16 - simd::rotation(s.bitCount))),
          wet(_mm512_set1_pd(static_cast<double>(s.wet) * (Op == kOpShiftRight ? 0x1p-15 : 0x1p-63))),
          dry(_mm512_set1_pd(static_cast<double>(s.dry))),
          master(_mm512_set1_pd(static_cast<double>(s.master))) {}

    const __m512i operand;
    const __m128i count;      // of the shift or rotation
    const __m128i countBack;  // 16 - rotation
    const __m512d wet, dry, master;
};

template <Operation Op>
[[gnu::always_inline]] inline __m512i operate(__m512i q, const Constants<Op>& c) {
    const __m512i t = _mm512_slli_epi64(q, 48);
    if constexpr (Op == kOpXor) return _mm512_xor_si512(t, c.operand);
    if constexpr (Op == kOpAnd) return _mm512_and_si512(t, c.operand);
    if constexpr (Op == kOpOr) return _mm512_or_si512(t, c.operand);
    if constexpr (Op == kOpShiftLeft) return _mm512_sll_epi64(t, c.count);
    // By 48 more: v itself, sign-extended (counts past 63 fill with the sign).
    if constexpr (Op == kOpShiftRight) return _mm512_sra_epi64(t, c.count);
    if constexpr (Op == kOpRollLeft) {
        // t << n | ((t >> (16 - n)) & top 16 bits), in one ternary logic step.
        return _mm512_ternarylogic_epi64(_mm512_sll_epi64(t, c.count), _mm512_srl_epi64(t, c.countBack),
                                         _mm512_set1_epi64(INT64_MIN >> 15), 0xF8);
    }
}

// v and x of eight samples to the mix, in double; both products are exact, so
// fusing one with the sum rounds once, as the sum alone does.
template <Operation Op, bool UnityMaster>
[[gnu::always_inline]] inline __m512d mix(__m512d x, const Constants<Op>& c) {
    const __m512d v = _mm512_cvtepi64_pd(operate(_mm512_cvttpd_epi64(_mm512_mul_pd(x, _mm512_set1_pd(32768.0))), c));
    const __m512d y = _mm512_fmadd_pd(v, c.wet, _mm512_mul_pd(x, c.dry));
    return UnityMaster ? y : _mm512_mul_pd(y, c.master);
}

// Eight samples; lanes selects those of a partial step, and the others are
// neither read nor written. Each half loads and stores on its own, so no
// shuffle joins or splits the 16 floats.
template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
[[gnu::always_inline]] inline void eight(const float* input, float* output, __mmask8 lanes, const Constants<Op>& c) {
    const __m512d x = _mm512_cvtps_pd(_mm256_maskz_loadu_ps(lanes, input));
    __m512d y = mix<Op, UnityMaster>(x, c);
    if constexpr (Mode == Store::kAccumulate)
        y = _mm512_add_pd(y, _mm512_cvtps_pd(_mm256_maskz_loadu_ps(lanes, output)));
    __m256 result;
    if constexpr (Gate) {
        // Kept where x is ordered and not equal to 0 (widening keeps zeros and
        // NaNs what they are): a mask, not a branch on the sign.
        const __mmask8 keep = _mm512_cmp_pd_mask(x, _mm512_setzero_pd(), _CMP_NEQ_OQ);
        if constexpr (Mode == Store::kReplace) {
            result = _mm512_maskz_cvtpd_ps(keep, y);
        } else {
            result = _mm512_cvtpd_ps(y);
            lanes = static_cast<__mmask8>(lanes & keep);
        }
    } else {
        result = _mm512_cvtpd_ps(y);
    }
    _mm256_mask_storeu_ps(output, lanes, result);
}

struct Loops {
    template <Operation Op, Store Mode, bool Gate, bool UnityMaster>
    static void run(const float* input, float* output, std::int32_t frames, const KernelSettings& s) {
        const Constants<Op> c(s);
        std::int32_t i = 0;
        for (; i <= frames - 16; i += 16) {
            eight<Op, Mode, Gate, UnityMaster>(input + i, output + i, 0xFF, c);
            eight<Op, Mode, Gate, UnityMaster>(input + i + 8, output + i + 8, 0xFF, c);
        }
        for (; i < frames; i += 8) {
            const int count = frames - i < 8 ? frames - i : 8;
            eight<Op, Mode, Gate, UnityMaster>(input + i, output + i, static_cast<__mmask8>((1u << count) - 1u), c);
        }
    }
};

}  // namespace

const ChannelKernels kAvx512Kernels{&simd::runSelected<Loops, Store::kReplace>,
                                    &simd::runSelected<Loops, Store::kAccumulate>};

}  // namespace zandrel
