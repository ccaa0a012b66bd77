// Preloaded into the programs under test and the tools they start.
// MFS_SLOW_WRITES: seconds of pause after each large write, so that a rip or
// a burn can be caught at work. MFS_FULL_FOR: large writes to a file whose
// path holds this text meet a full disk: as on a real one, the first takes
// what fits (half of it) and the next fails.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = reinterpret_cast<decltype(&write)>(dlsym(RTLD_NEXT, "write"));
    static const char *const full = std::getenv("MFS_FULL_FOR");
    static const char *const slow = std::getenv("MFS_SLOW_WRITES");
    static const unsigned pause = slow ? unsigned(std::strtoul(slow, nullptr, 10)) : 0;
    if (size < 32768)
        return real(fd, data, size);
    char link[64], path[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    if (full && *full && ::readlink(link, path, sizeof path - 1) > 0 && std::strstr(path, full)) {
        static bool filled[4096];
        if (fd >= 0 && fd < 4096 && !filled[fd]) {
            filled[fd] = true;
            return real(fd, data, size / 2);
        }
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = real(fd, data, size);
    if (pause)
        ::sleep(pause);
    return written;
}
