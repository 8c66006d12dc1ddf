// `plughost render`: a sound file through a plug-in, block by block, as a host plays it.
#pragma once

#include "Options.h"

namespace zandrel::tool {

void render(const RenderCommand& command);

}  // namespace zandrel::tool
