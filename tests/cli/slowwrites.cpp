// Preloaded into the command line and the tools it starts: a pause after
// each large write, so that a rip can be caught at work.
#include <dlfcn.h>
#include <unistd.h>

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = reinterpret_cast<decltype(&write)>(dlsym(RTLD_NEXT, "write"));
    const ssize_t written = real(fd, data, size);
    if (size >= 32768)
        ::sleep(1);
    return written;
}
