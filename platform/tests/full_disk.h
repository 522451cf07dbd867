// For tests of writers: a disk that is full, without filling one.
#pragma once

#include <csignal>

#include <sys/resource.h>

namespace nivora {

// While alive, no file of this process grows past `bytes`: a write beyond fails (EFBIG) as on
// a full disk, instead of raising the signal that would end the test.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes = 0) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};

} // namespace nivora
