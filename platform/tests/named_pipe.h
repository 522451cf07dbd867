// For tests of what meets a named pipe in a file's place.
#pragma once

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace nivora {

// Makes a named pipe at `path`. Opening it with no other end waits for ever, so while this is
// alive a test that does is ended after a minute instead of holding the whole run.
class NamedPipe {
public:
    explicit NamedPipe(const std::filesystem::path& path) {
        ::mkfifo(path.c_str(), 0600);
        ::alarm(60);
    }
    ~NamedPipe() { ::alarm(0); }
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;
};

} // namespace nivora
