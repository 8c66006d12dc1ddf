#include "Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace zandrel::tool {
namespace {

constexpr int kWidth = 40;

}  // namespace

Progress::Progress(std::int64_t total, std::int64_t worthShowing, bool enabled)
    : total_(total), shown_(enabled && total > 0 && total >= worthShowing && isatty(STDERR_FILENO)) {}

Progress::~Progress() {
    if (shown_ && drawnPercent_ >= 0) std::fprintf(stderr, "\r%*s\r", kWidth + 8, "");
}

void Progress::update(std::int64_t done) {
    if (!shown_) return;
    const int percent = static_cast<int>(std::min<std::int64_t>(done, total_) * 100 / total_);
    if (percent == drawnPercent_) return;
    drawnPercent_ = percent;
    const int filled = percent * kWidth / 100;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
    std::fflush(stderr);
}

}  // namespace zandrel::tool
