// The tool's exit codes and the error that carries one to main. Every failure
// ends as one line on stderr and its own code, so scripts can tell them apart.
#pragma once

#include <stdexcept>
#include <string>

namespace zandrel::tool {

enum class ExitCode : int {
    kOk = 0,
    kDifferent = 1,    // diff: the files differ
    kBadOption = 2,    // unknown option, missing argument, value out of range
    kFileMissing = 3,  // a named file does not exist or cannot be read
    kNotPlugin = 4,    // the loader refused the library, or it exports no entry
    kEntryNull = 5,    // the entry created no instance
    kBadMagic = 6,     // the entry returned a record without the interface's magic
    kBadLayout = 7,    // the plug-in's channels do not fit the request
    kAudioFile = 8,    // not a sound file we can read, or the output cannot be written
    kInternal = 9,     // anything else, such as running out of memory
};

class ToolError : public std::runtime_error {
public:
    ToolError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

}  // namespace zandrel::tool
