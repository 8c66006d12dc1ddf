// `plughost plot`: the transfer curve as an SVG picture, for the current
// settings or one panel per factory program.
#pragma once

#include "Options.h"
#include "TransferCurve.h"

#include <string>
#include <vector>

namespace zandrel::tool {

struct Panel {
    std::string title;
    std::vector<Point> curve;  // in signal units: x and y around -1..1
};

// A complete SVG document, panels three to a row.
std::string drawPanels(const std::vector<Panel>& panels);

void plot(const PlotCommand& command);

}  // namespace zandrel::tool
