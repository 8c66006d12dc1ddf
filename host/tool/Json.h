// The two JSON leaves the tool writes: strings and numbers.
#pragma once

#include <string>

namespace zandrel::tool {

// Quoted and escaped. Plug-in texts are bytes: valid UTF-8 passes through,
// any other byte is read as Latin-1, so the document stays valid JSON.
std::string jsonString(const std::string& text);

// Shortest text that reads back as the same float; NaN and infinities as null.
std::string jsonNumber(float value);

}  // namespace zandrel::tool
