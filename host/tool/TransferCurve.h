// The static transfer curve of a plug-in, and its reduction to what a drawing
// of a given width can show.
#pragma once

#include "Session.h"

#include <span>
#include <vector>

namespace zandrel::tool {

struct Point {
    double x;
    double y;
};

// The block size transferCurve processes in; the session should announce it.
inline constexpr std::int32_t kTransferBlock = 4096;

// Output 0 against the input fed to every input, at each step of a 16-bit
// sample from -1 to +1 inclusive: x = k / 32768 for k = -32768..32768.
std::vector<Point> transferCurve(Session& session);

// Points already in drawing units (x to the right, one unit a column): keeps
// per column the first, lowest, highest and last point, then drops the points
// that lie within `tolerance` of the line through their kept neighbours.
std::vector<Point> simplify(std::span<const Point> points, double tolerance);

}  // namespace zandrel::tool
