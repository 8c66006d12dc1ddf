// The text of `plughost --help`.
#pragma once

namespace zandrel::tool {

extern const char* const kHelpText;

}  // namespace zandrel::tool
