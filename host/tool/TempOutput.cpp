#include "TempOutput.h"

#include "ToolError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

namespace zandrel::tool {
namespace {

// The one temporary file a signal handler may have to remove; the tool writes one output at a time.
char pendingPath[4096];
volatile std::sig_atomic_t pending = 0;

extern "C" void removePendingAndDie(int signal) {
    if (pending) unlink(pendingPath);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Interruptions and the crashes a faulty plug-in may cause. Only signals left
// at their default are taken over: an ignored one (nohup) or one a sanitizer
// watches stays as it was.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
bool installed[std::size(kSignals)] = {};

void armSignals(const std::string& path) {
    if (path.size() >= sizeof pendingPath) return;
    std::memcpy(pendingPath, path.c_str(), path.size() + 1);
    pending = 1;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        struct sigaction current {};
        sigaction(kSignals[i], nullptr, &current);
        installed[i] = current.sa_handler == SIG_DFL && std::signal(kSignals[i], removePendingAndDie) != SIG_ERR;
    }
}

void disarmSignals() {
    pending = 0;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (installed[i]) std::signal(kSignals[i], SIG_DFL);
        installed[i] = false;
    }
}

[[noreturn]] void fail(const std::string& path, const char* what, int error) {
    throw ToolError(ExitCode::kAudioFile, std::string("cannot ") + what + " " + path + ": " + std::strerror(error));
}

}  // namespace

TempOutput::TempOutput(const std::string& destination) : destination_(destination) {
    const auto slash = destination.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? destination : destination.substr(slash + 1);
    std::string pattern = folder + "." + name + ".plughost-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // Block the signals while the name is both on disk and not yet known to the handler.
    sigset_t all, previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
    fd_ = mkstemp(buffer.data());
    const int error = errno;
    if (fd_ >= 0) {
        temporary_ = buffer.data();
        armSignals(temporary_);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd_ < 0) fail(destination, "create", error);
}

TempOutput::~TempOutput() { discard(); }

void TempOutput::discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
    disarmSignals();
}

void TempOutput::commit() {
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd_, 0666 & ~mask) != 0 || fsync(fd_) != 0) fail(destination_, "write", errno);
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) fail(destination_, "write", errno);
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) fail(destination_, "write", errno);
    temporary_.clear();
    disarmSignals();
}

}  // namespace zandrel::tool
