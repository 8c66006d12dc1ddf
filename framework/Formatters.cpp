// Eight-character value texts. Digits are cut, never rounded, and taken one at a
// time by multiplying by 0.1, so every step is the exact double arithmetic below.
#include "PluginEffect.h"

#include "Truncate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zandrel {
namespace {

constexpr int kBudget = 8;

void writeText(char* text, const char* fixed) { std::memcpy(text, fixed, std::strlen(fixed) + 1); }

// A remainder in 0..10 as its digit character.
char digitOf(double remainder) { return static_cast<char>('0' + low8(truncateToInt64(remainder))); }

}  // namespace

void PluginEffect::float2string(float value, char* text) {
    const double v = static_cast<double>(value);
    if (std::isnan(v)) return writeText(text, "  NaN   ");
    const bool negative = v < 0.0;
    const double a = negative ? -v : v;
    if (negative ? a > 9999999.0 : v > 99999999.0) return writeText(text, " Huge!  ");

    // The first integer digit and the decimal point are always spent.
    int count = negative ? 3 : 2;
    char integerDigits[kBudget];
    int numIntegerDigits = 0;
    double w = std::floor(a);
    integerDigits[numIntegerDigits++] = digitOf(std::fmod(w, 10.0));
    w = w * 0.1;
    while (w >= 1.0 && count < kBudget) {
        integerDigits[numIntegerDigits++] = digitOf(std::fmod(w, 10.0));
        w = w * 0.1;
        ++count;
    }

    char* out = text;
    if (negative) *out++ = '-';
    while (numIntegerDigits > 0) *out++ = integerDigits[--numIntegerDigits];
    *out++ = '.';

    const int numFractionDigits = kBudget - count;
    double f = std::fmod(a, 1.0) * std::pow(10.0, numFractionDigits);
    for (int i = numFractionDigits - 1; i >= 0; --i) {
        if (f > 0.0) {
            out[i] = digitOf(std::fmod(f, 10.0));
            f = f * 0.1;
        } else {
            out[i] = '0';
        }
    }
    out[numFractionDigits] = '\0';
}

void PluginEffect::dB2string(float gain, char* text) {
    if (!(gain > 0.0f)) return writeText(text, "  -oo   ");
    float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(gain))), text);
}

void PluginEffect::Hz2string(float samples, char* text) {
    const float rate = getSampleRate();
    if (samples == 0.0f || std::isnan(samples)) return float2string(0.0f, text);
    float2string(static_cast<float>(static_cast<double>(rate) / static_cast<double>(samples)), text);
}

void PluginEffect::ms2string(float samples, char* text) {
    const double milliseconds = static_cast<double>(samples) * 1000.0;
    const float rate = getSampleRate();
    float2string(static_cast<float>(milliseconds / static_cast<double>(rate)), text);
}

void PluginEffect::long2string(std::int32_t value, char* text) {
    if (value >= 100000000) return writeText(text, " Huge!  ");
    char formatted[16];
    std::snprintf(formatted, sizeof formatted, "%7d", static_cast<int>(value));
    const std::size_t length = std::min<std::size_t>(std::strlen(formatted), kBudget);
    std::memcpy(text, formatted, length);
    text[length] = '\0';
}

}  // namespace zandrel
