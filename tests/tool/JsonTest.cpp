// JSON leaves: any bytes a plug-in returns still make a valid document.
#include "Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace zandrel::tool {
namespace {

TEST(Json, EscapesWhatJsonForbidsAndKeepsValidUtf8) {
    const struct {
        std::string text, expected;
    } cases[] = {
        {"  Dry Mix", R"("  Dry Mix")"},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {"tab\there\nline", R"("tab\u0009here\u000Aline")"},
        {"\x01\x1F", R"("\u0001\u001F")"},
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},           // UTF-8 é passes through
        {"\xE2\x82\xAC 5", "\"\xE2\x82\xAC 5\""},     // the euro sign, three bytes
        {"caf\xE9", R"("caf\u00E9")"},                // Latin-1 é
        {"\xC3", R"("\u00C3")"},                      // a lead byte cut short
        {"\xED\xA0\x80", R"("\u00ED\u00A0\u0080")"},  // an encoded surrogate is not UTF-8
        {"\xC0\xAF", R"("\u00C0\u00AF")"},            // an overlong slash
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(jsonString(c.text), c.expected);
    }
}

TEST(Json, NumbersReadBackAsTheSameFloatAndNonFiniteOnesAreNull) {
    for (const float value : {0.0f, 0.5f, 1.0f, 0.0629f, 1.0f / 3.0f, 1e-30f, -2.5e7f, 0.062899999f}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(std::strtof(jsonNumber(value).c_str(), nullptr), value);
    }
    EXPECT_EQ(jsonNumber(0.5f), "0.5");
    EXPECT_EQ(jsonNumber(std::numeric_limits<float>::quiet_NaN()), "null");
    EXPECT_EQ(jsonNumber(-INFINITY), "null");
}

}  // namespace
}  // namespace zandrel::tool
