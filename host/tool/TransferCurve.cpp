#include "TransferCurve.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zandrel::tool {
namespace {

constexpr std::int32_t kSteps = 32768;
constexpr auto kBlock = static_cast<std::size_t>(kTransferBlock);

// Distance from p to the segment from a to b: a spike that runs back along
// the segment is not close to it merely because it is close to its line.
double distance(const Point& p, const Point& a, const Point& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double squared = dx * dx + dy * dy;
    const double t = squared == 0.0 ? 0.0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / squared, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

std::vector<Point> columnExtremes(std::span<const Point> points) {
    std::vector<Point> kept;
    for (std::size_t start = 0; start < points.size();) {
        const double column = std::floor(points[start].x);
        std::size_t end = start, low = start, high = start;
        for (; end < points.size() && std::floor(points[end].x) == column; ++end) {
            if (points[end].y < points[low].y) low = end;
            if (points[end].y > points[high].y) high = end;
        }
        std::size_t chosen[] = {start, std::min(low, high), std::max(low, high), end - 1};
        for (std::size_t i = 0; i < 4; ++i)
            if (i == 0 || chosen[i] != chosen[i - 1]) kept.push_back(points[chosen[i]]);
        start = end;
    }
    return kept;
}

}  // namespace

std::vector<Point> transferCurve(Session& session) {
    const AEffect& record = session.record();
    std::vector<float> ramp;
    for (std::int32_t k = -kSteps; k <= kSteps; ++k) ramp.push_back(static_cast<float>(k) / kSteps);
    std::vector<std::vector<float>> inputs(static_cast<std::size_t>(record.numInputs), std::vector<float>(kBlock));
    std::vector<std::vector<float>> outputs(static_cast<std::size_t>(record.numOutputs), std::vector<float>(kBlock));
    std::vector<float*> in, out;
    for (auto& b : inputs) in.push_back(b.data());
    for (auto& b : outputs) out.push_back(b.data());
    const bool replacing = (record.flags & effFlagsCanReplacing) != 0;

    std::vector<Point> curve;
    for (std::size_t start = 0; start < ramp.size(); start += kBlock) {
        const std::size_t n = std::min(kBlock, ramp.size() - start);
        for (auto& b : inputs) std::copy_n(ramp.begin() + static_cast<std::ptrdiff_t>(start), n, b.begin());
        for (auto& b : outputs) std::fill(b.begin(), b.end(), 0.0f);
        if (replacing)
            session.plugin().processReplacing(in.data(), out.data(), static_cast<std::int32_t>(n));
        else
            session.plugin().process(in.data(), out.data(), static_cast<std::int32_t>(n));
        for (std::size_t i = 0; i < n; ++i) curve.push_back({ramp[start + i], outputs[0][i]});
    }
    return curve;
}

std::vector<Point> simplify(std::span<const Point> points, double tolerance) {
    const std::vector<Point> candidates = columnExtremes(points);
    if (candidates.size() <= 2) return candidates;
    // Douglas-Peucker without recursion: every dropped point is within tolerance of the result.
    std::vector<bool> keep(candidates.size(), false);
    keep.front() = keep.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> spans{{0, candidates.size() - 1}};
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        double farthest = 0.0;
        std::size_t index = first;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double d = distance(candidates[i], candidates[first], candidates[last]);
            if (d > farthest) farthest = d, index = i;
        }
        if (farthest <= tolerance) continue;
        keep[index] = true;
        spans.push_back({first, index});
        spans.push_back({index, last});
    }
    std::vector<Point> result;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (keep[i]) result.push_back(candidates[i]);
    return result;
}

}  // namespace zandrel::tool
