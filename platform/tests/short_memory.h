// For tests of what happens when memory runs out: room for little more, without using up the
// machine's memory.
#pragma once

#include <fstream>
#include <string>

#include <sys/resource.h>

namespace nivora {

// The sanitizer's runtime reserves address space of its own, far beyond any limit that leaves
// room for only a little more: tests under ShortMemory skip there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool addressSpaceLimitWorks = false;
#else
inline constexpr bool addressSpaceLimitWorks = true;
#endif

// While alive, the address space of this process may grow by `headroom` bytes only: a larger
// allocation fails as when memory runs out.
class ShortMemory {
public:
    explicit ShortMemory(rlim_t headroom) {
        ::getrlimit(RLIMIT_AS, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = addressSpaceInUse() + headroom;
        ::setrlimit(RLIMIT_AS, &limited);
    }
    ~ShortMemory() { ::setrlimit(RLIMIT_AS, &saved_); }
    ShortMemory(const ShortMemory&) = delete;
    ShortMemory& operator=(const ShortMemory&) = delete;

    // The address space the process holds now ("VmSize"), in bytes.
    static rlim_t addressSpaceInUse() {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0)
                return rlim_t(std::stoull(line.substr(7))) * 1024;
        return 0;
    }

private:
    rlimit saved_{};
};

} // namespace nivora
