// Preloaded into the real ripper by tests/data/stand-ins/crawling/ripper: a
// pause after each block it writes, so that a rip can be caught at work.
#include <dlfcn.h>
#include <unistd.h>

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = reinterpret_cast<decltype(&write)>(dlsym(RTLD_NEXT, "write"));
    const ssize_t written = real(fd, data, size);
    if (size >= 65536)
        ::sleep(10);
    return written;
}
