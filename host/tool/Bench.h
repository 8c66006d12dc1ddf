// `plughost bench`: how fast a plug-in processes, per block size.
#pragma once

#include "Options.h"

namespace zandrel::tool {

void bench(const BenchCommand& command);

}  // namespace zandrel::tool
