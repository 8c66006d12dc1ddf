// An output file that appears complete or not at all: written under a
// temporary name beside its destination, renamed into place on commit, and
// removed on any failure, including interruption and a crash inside the plug-in.
#pragma once

#include <string>

namespace zandrel::tool {

class TempOutput {
public:
    // Throws ToolError(kAudioFile) when the destination's folder takes no new file.
    explicit TempOutput(const std::string& destination);
    // Removes the temporary file unless commit() succeeded.
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    int fd() const { return fd_; }
    // Flushes, gives the file the permissions a new file would get, and renames it.
    void commit();

private:
    void discard();

    std::string destination_;
    std::string temporary_;
    int fd_ = -1;
};

}  // namespace zandrel::tool
