// Simplifying a curve for drawing: nothing a reader could see may go missing.
#include "TransferCurve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace zandrel::tool {
namespace {

double distanceToPolyline(const Point& p, const std::vector<Point>& line) {
    double best = INFINITY;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const Point a = line[i], b = line[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, squared = dx * dx + dy * dy;
        double t = squared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / squared : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    return best;
}

TEST(TransferCurve, AStraightLineNeedsOnlyItsEnds) {
    std::vector<Point> line;
    for (int i = 0; i <= 65536; ++i) line.push_back({i / 256.0, 3.0 - i / 1024.0});
    const auto simplified = simplify(line, 0.15);
    ASSERT_EQ(simplified.size(), 2u);
    EXPECT_EQ(simplified.front().x, line.front().x);
    EXPECT_EQ(simplified.back().y, line.back().y);
}

TEST(TransferCurve, ASawtoothKeepsEveryCorner) {
    std::vector<Point> saw;
    for (int i = 0; i < 4000; ++i) saw.push_back({i / 20.0, static_cast<double>(i % 1000) / 10.0});
    const auto simplified = simplify(saw, 0.15);
    EXPECT_LE(simplified.size(), 10u);
    for (const Point& corner : {Point{49.95, 99.9}, Point{50.0, 0.0}, Point{149.95, 99.9}, Point{150.0, 0.0}}) {
        SCOPED_TRACE(corner.x);
        EXPECT_LT(distanceToPolyline(corner, simplified), 1e-9);
    }
}

TEST(TransferCurve, EveryDroppedPointStaysWithinAColumnOfTheDrawnLine) {
    // A noisy curve, 40 points to a column: the worst case for the reduction.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-20.0, 20.0);
    std::vector<Point> curve;
    for (int i = 0; i < 4000; ++i) curve.push_back({i / 40.0, std::sin(i / 300.0) * 50.0 + noise(random)});
    const auto simplified = simplify(curve, 0.15);
    EXPECT_LT(simplified.size(), curve.size() / 8);
    double worst = 0.0;
    for (const Point& p : curve) worst = std::max(worst, distanceToPolyline(p, simplified));
    EXPECT_LE(worst, 1.0 + 0.15) << "a point lies farther than one column from what is drawn";
}

}  // namespace
}  // namespace zandrel::tool
