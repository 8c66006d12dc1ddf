// A one-line progress bar on stderr, drawn only when stderr is a terminal and
// the job is long enough to wait for.
#pragma once

#include <cstdint>

namespace zandrel::tool {

class Progress {
public:
    // Stays silent unless `enabled`, stderr is a terminal and total reaches `worthShowing`.
    Progress(std::int64_t total, std::int64_t worthShowing, bool enabled);
    // Clears the bar so that later messages start on a clean line.
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void update(std::int64_t done);

private:
    std::int64_t total_;
    bool shown_;
    int drawnPercent_ = -1;
};

}  // namespace zandrel::tool
