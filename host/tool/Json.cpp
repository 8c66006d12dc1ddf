#include "Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zandrel::tool {
namespace {

// Well-formed UTF-8 (RFC 3629) by lead byte: sequence length and the range of
// the second byte; every later byte is 0x80..0xBF.
struct Utf8Lead {
    unsigned char first, last;
    std::size_t length;
    unsigned char low, high;
};
constexpr Utf8Lead kLeads[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},  // no overlong forms
    {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F},  // no surrogates
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},  // no overlong forms
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},  // nothing above U+10FFFF
};

// Length of the well-formed UTF-8 sequence starting at text[i], or 0.
std::size_t utf8Length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    for (const Utf8Lead& lead : kLeads) {
        if (byte(i) < lead.first || byte(i) > lead.last) continue;
        if (i + lead.length > text.size() || byte(i + 1) < lead.low || byte(i + 1) > lead.high) return 0;
        for (std::size_t k = 2; k < lead.length; ++k)
            if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
        return lead.length;
    }
    return 0;
}

}  // namespace

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t length = c >= 0x80 ? utf8Length(text, i) : 0; length > 0) {
            out.append(text, i, length);
            i += length - 1;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + "\"";
}

std::string jsonNumber(float value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return text;
}

}  // namespace zandrel::tool
