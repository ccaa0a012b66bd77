// ripper: lists the titles of a DVD-Video and copies one title's video data
// (main.cpp has the command line).

#include "ripper.h"

#include "ifotables.h"

#include <dvdread/dvd_reader.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ripper {

std::FILE *complaints = stderr;

namespace {

// Drives refuse to hand out the sectors of an encrypted title until
// libdvdcss has unlocked them.
const char kCssHint[] = "if the disc is encrypted, install libdvdcss (Debian: libdvd-pkg)";

// libdvdread talks on stderr by default; keep its last complaint for our own
// one-line message instead.
std::string lastComplaint;

void keepLastComplaint(void *, dvd_logger_level_t level, const char *format, va_list args)
{
    if (level != DVD_LOGGER_LEVEL_ERROR)
        return;
    char line[256];
    vsnprintf(line, sizeof line, format, args);
    lastComplaint = line;
    std::replace(lastComplaint.begin(), lastComplaint.end(), '\n', ' ');
    while (!lastComplaint.empty() && lastComplaint.back() == ' ')
        lastComplaint.pop_back();
}

int fail(Exit code, const std::string &message)
{
    std::fflush(stdout);
    std::fprintf(complaints, "ripper: %s\n", message.c_str());
    return code;
}

struct Closer {
    void operator()(dvd_reader_t *d) const { DVDClose(d); }
    void operator()(dvd_file_t *f) const { DVDCloseFile(f); }
};
using Disc = std::unique_ptr<dvd_reader_t, Closer>;
using VobFile = std::unique_ptr<dvd_file_t, Closer>;

// Information files are small; anything bigger is no IFO (8 MB).
constexpr ssize_t kMaxInfoBlocks = 4096;

// The bytes of VIDEO_TS (set 0) or VTS_nn_0, its .IFO or its .BUP copy.
bool readInfoFile(dvd_reader_t *disc, int set, bool backup, ifo::Bytes &bytes)
{
    const VobFile file(DVDOpenFile(disc, set, backup ? DVD_READ_INFO_BACKUP_FILE : DVD_READ_INFO_FILE));
    const ssize_t blocks = file ? DVDFileSize(file.get()) : -1;
    if (blocks <= 0 || blocks > kMaxInfoBlocks)
        return false;
    bytes.assign(size_t(blocks) * DVD_VIDEO_LB_LEN, 0);
    return DVDReadBytes(file.get(), bytes.data(), bytes.size()) == ssize_t(bytes.size());
}

// A disc's titles, and the program chains of its title sets as they are
// needed. Each information file is read from its IFO, or from its BUP when
// the IFO can't be read or doesn't hold together.
class Opened
{
public:
    Disc disc;
    std::vector<ifo::Title> titles;

    bool readTitles()
    {
        std::string why;
        for (const bool backup : {false, true}) {
            ifo::Bytes bytes;
            if (readInfoFile(disc.get(), 0, backup, bytes) && ifo::readTitles(bytes, titles, why))
                return true;
        }
        return false;
    }

    // The chain title t (1-based) starts with; null when its title set's
    // tables can't be read.
    const ifo::Chain *chain(int t)
    {
        const ifo::Title &title = titles[size_t(t - 1)];
        TitleSet &set = m_sets[size_t(title.titleSet)];
        if (!set.tried) {
            set.tried = true;
            std::string why;
            for (const bool backup : {false, true}) {
                ifo::Bytes bytes;
                set.readable = readInfoFile(disc.get(), title.titleSet, backup, bytes)
                               && ifo::readTitleSet(bytes, set.chains, why);
                if (set.readable)
                    break;
            }
        }
        if (!set.readable || size_t(title.setTitle) > set.chains.size())
            return nullptr;
        return &set.chains[size_t(title.setTitle - 1)];
    }

private:
    struct TitleSet {
        bool tried = false, readable = false;
        std::vector<ifo::Chain> chains;
    };
    std::vector<TitleSet> m_sets = std::vector<TitleSet>(100);
};

int open(const char *source, Opened &opened)
{
    static const dvd_logger_cb logger{keepLastComplaint};
    // libdvdread prints its own complaint about a missing path on stderr.
    struct stat info;
    if (::stat(source, &info) != 0)
        return fail(Unreadable, std::string("cannot read ") + source + ": " + std::strerror(errno));
    lastComplaint.clear();
    opened.disc.reset(DVDOpen2(nullptr, &logger, source));
    if (!opened.disc)
        return fail(Unreadable, std::string("cannot read ") + source
                                    + (lastComplaint.empty() ? "" : ": " + lastComplaint));
    if (!opened.readTitles())
        return fail(Unreadable, std::string(source) + " holds no readable DVD-Video");
    return Ok;
}

} // namespace

int list(const char *source)
{
    Opened dvd;
    if (int code = open(source, dvd))
        return code;
    const int count = int(dvd.titles.size());
    std::printf("TITLES: %d\n", count);
    int broken = 0;
    for (int t = 1; t <= count; ++t) {
        const ifo::Chain *chain = dvd.chain(t);
        // A title whose tables can't be read still gets its line, so the
        // numbering of the others stays right.
        if (!chain && !broken)
            broken = t;
        std::printf("TITLE_%02d\nLENGTH IN MS: %lld\n", t, chain ? chain->milliseconds : 0);
    }
    std::fflush(stdout);
    if (broken)
        return fail(ReadFailed, "cannot read the information of title " + std::to_string(broken));
    return Ok;
}

namespace {

// Copies whole cells in big reads; the buffer stays the same whatever the
// title's size.
constexpr int kBlocksPerRead = 256;

// A video or audio packet whose PES header still says "scrambled" means that
// nothing decrypted the disc.
bool scrambled(const unsigned char *block)
{
    if (block[0x0e] || block[0x0f] || block[0x10] != 1)
        return false;
    const unsigned char stream = block[0x11];
    const bool pes = stream == 0xbd || (stream >= 0xc0 && stream <= 0xef);
    return pes && (block[0x14] & 0x30);
}

class Progress
{
public:
    void show(int percent)
    {
        if (percent == m_shown)
            return;
        std::string text(m_width, '\b');
        const std::string number = std::to_string(percent) + "%";
        text += number;
        m_width = number.size();
        m_shown = percent;
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }

private:
    int m_shown = -1;
    size_t m_width = 0;
};

bool writeAll(int fd, const unsigned char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Writes on a thread of its own, so that copying the next blocks out of the
// disc and copying the last ones into the file run side by side. A few
// buffers go round between the two: memory stays flat whatever the title.
class Writer
{
public:
    explicit Writer(int fd) : m_fd(fd), m_thread([this] { run(); }) {}
    ~Writer() { finish(); }

    // A free buffer of kChunk bytes, or null once a write has failed.
    unsigned char *buffer()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_failed || m_filled - m_written < kBuffers; });
        return m_failed ? nullptr : slot(m_filled);
    }

    // Queues the buffer last handed out, holding `size` bytes.
    void write(size_t size)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_sizes[m_filled % kBuffers] = size;
        ++m_filled;
        m_changed.notify_all();
    }

    // Waits for the queued writes; false (with errno set) if one failed.
    bool finish()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_ending = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
        errno = m_error;
        return !m_failed;
    }

    static constexpr size_t kChunk = size_t(kBlocksPerRead) * DVD_VIDEO_LB_LEN;

private:
    static constexpr unsigned kBuffers = 3;

    unsigned char *slot(unsigned n) { return m_buffers.data() + (n % kBuffers) * kChunk; }

    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_filled != m_written || m_ending; });
            if (m_filled == m_written)
                return;
            unsigned char *data = slot(m_written);
            const size_t size = m_sizes[m_written % kBuffers];
            lock.unlock();
            const bool ok = writeAll(m_fd, data, size);
            const int error = errno;
            lock.lock();
            if (!ok) {
                m_failed = true;
                m_error = error;
                m_changed.notify_all();
                return;
            }
            ++m_written;
            m_changed.notify_all();
        }
    }

    const int m_fd;
    std::vector<unsigned char> m_buffers = std::vector<unsigned char>(kBuffers * kChunk);
    size_t m_sizes[kBuffers] = {};
    unsigned m_filled = 0, m_written = 0; // buffers handed to the thread, and written by it
    bool m_ending = false, m_failed = false;
    int m_error = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread; // last: starts once the rest is ready
};

} // namespace

int copy(const char *source, const char *titleText, const char *out)
{
    Opened dvd;
    if (int code = open(source, dvd))
        return code;
    const int count = int(dvd.titles.size());
    char *end = nullptr;
    const long t = std::strtol(titleText, &end, 10);
    if (*titleText == '\0' || *end != '\0' || t < 1 || t > count)
        return fail(NoTitle, std::string("title ") + titleText + " does not exist (the disc has "
                                 + std::to_string(count) + " titles)");
    const std::string name = "title " + std::to_string(t);
    const ifo::Chain *chain = dvd.chain(int(t));
    if (!chain)
        return fail(ReadFailed, "cannot read the information of " + name);
    const int titleSet = dvd.titles[size_t(t - 1)].titleSet;
    const VobFile vob(DVDOpenFile(dvd.disc.get(), titleSet, DVD_READ_TITLE_VOBS));
    if (!vob)
        return fail(ReadFailed, "cannot open the video of " + name);

    // A cell beyond the title set's video can't be read; its count could
    // even wrap round to nothing.
    const ssize_t vobBlocks = DVDFileSize(vob.get());
    unsigned long long blocks = 0;
    for (const ifo::Cell &cell : chain->cells) {
        if (vobBlocks < 0 || cell.last >= static_cast<unsigned long long>(vobBlocks))
            return fail(ReadFailed, "the cell table of " + name + " points beyond its video (sector "
                                        + std::to_string(cell.last) + " of " + std::to_string(vobBlocks) + ")");
        blocks += cell.last - cell.first + 1ULL;
    }
    if (blocks == 0)
        return fail(ReadFailed, name + " holds no video");

    // The copy is a new file of its own: a name already taken by anything,
    // a link that leads nowhere included, is left as it is.
    const int fd = ::open(out, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(Unwritable, std::string("cannot write ") + out + ": " + std::strerror(errno));
    struct stat made {};
    ::fstat(fd, &made);
    // A cut-off copy is removed while its name still holds the file made here.
    const auto removeCopy = [&] {
        struct stat now {};
        if (::lstat(out, &now) == 0 && now.st_dev == made.st_dev && now.st_ino == made.st_ino)
            ::unlink(out);
    };
    Writer writer(fd);
    auto abandon = [&](Exit code, const std::string &message) {
        writer.finish();
        ::close(fd);
        removeCopy();
        return fail(code, message);
    };
    const auto unwritable = [out] { return std::string("cannot write ") + out + ": " + std::strerror(errno); };

    Progress progress;
    progress.show(0);
    unsigned long long done = 0;
    for (const ifo::Cell &cell : chain->cells) {
        for (uint32_t at = cell.first;;) {
            const uint32_t count = std::min<uint32_t>(kBlocksPerRead, cell.last - at + 1);
            unsigned char *buffer = writer.buffer();
            if (!buffer) {
                writer.finish(); // for its errno
                return abandon(Unwritable, unwritable());
            }
            const ssize_t got = DVDReadBlocks(vob.get(), int(at), count, buffer);
            if (got != ssize_t(count))
                return abandon(ReadFailed, "cannot read block " + std::to_string(at) + " of " + name + "; "
                                               + kCssHint);
            for (uint32_t b = 0; b < count; ++b) {
                if (scrambled(buffer + size_t(b) * DVD_VIDEO_LB_LEN))
                    return abandon(Encrypted, name + " is encrypted and nothing decrypted it: install "
                                                  "libdvdcss (Debian: libdvd-pkg) to rip it");
            }
            writer.write(size_t(count) * DVD_VIDEO_LB_LEN);
            done += count;
            progress.show(int(done * 100 / blocks));
            // Stops at the cell's last sector without running past it.
            if (cell.last - at < count)
                break;
            at += count;
        }
    }
    if (!writer.finish())
        return abandon(Unwritable, unwritable());
    if (::close(fd) != 0) {
        const std::string reason = unwritable();
        removeCopy();
        return fail(Unwritable, reason);
    }
    progress.show(100);
    std::fputs("\n", stdout);
    std::fflush(stdout);
    return Ok;
}

} // namespace ripper
