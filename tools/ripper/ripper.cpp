// ripper: lists the titles of a DVD-Video and copies one title's video data.
//
//   ripper SOURCE            "TITLES: n", then "TITLE_tt" and "LENGTH IN MS: ms" per title
//   ripper SOURCE T OUT      copies title T to OUT, printing "NN%" with backspaces between
//
// SOURCE is a device node, a mounted disc, a DVD folder (VIDEO_TS or the one
// above it) or an ISO image. Failures end with one line on standard error and
// a non-zero exit status.

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
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

namespace {

enum Exit { Ok = 0, Usage = 1, Unreadable = 2, NoTitle = 3, Unwritable = 4, ReadFailed = 5, Encrypted = 6 };

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
    std::fprintf(stderr, "ripper: %s\n", message.c_str());
    return code;
}

struct Closer {
    void operator()(dvd_reader_t *d) const { DVDClose(d); }
    void operator()(ifo_handle_t *i) const { ifoClose(i); }
    void operator()(dvd_file_t *f) const { DVDCloseFile(f); }
};
using Disc = std::unique_ptr<dvd_reader_t, Closer>;
using Ifo = std::unique_ptr<ifo_handle_t, Closer>;
using VobFile = std::unique_ptr<dvd_file_t, Closer>;

int bcd(uint8_t v)
{
    return (v >> 4) * 10 + (v & 0x0f);
}

// Playback time in milliseconds: BCD fields, frame rate in the top two bits
// of the frame byte (01 = 25, 11 = 29.97 frames per second).
long long milliseconds(const dvd_time_t &t)
{
    const long long whole = (bcd(t.hour) * 3600LL + bcd(t.minute) * 60LL + bcd(t.second)) * 1000;
    const int frames = bcd(t.frame_u & 0x3f);
    switch (t.frame_u >> 6) {
    case 1: return whole + frames * 40LL;
    case 3: return whole + frames * 1001LL / 30;
    default: return whole;
    }
}

// The program chain a title starts with, or null when its tables are broken.
const pgc_t *titleChain(const ifo_handle_t &vts, int ttn)
{
    const vts_ptt_srpt_t *ptt = vts.vts_ptt_srpt;
    if (!ptt || ttn < 1 || ttn > ptt->nr_of_srpts || ptt->title[ttn - 1].nr_of_ptts < 1)
        return nullptr;
    const int pgcn = ptt->title[ttn - 1].ptt[0].pgcn;
    const pgcit_t *pgcit = vts.vts_pgcit;
    if (!pgcit || pgcn < 1 || pgcn > pgcit->nr_of_pgci_srp)
        return nullptr;
    return pgcit->pgci_srp[pgcn - 1].pgc;
}

struct Opened {
    Disc disc;
    Ifo vmg;
};

int open(const char *source, Opened &opened)
{
    static const dvd_logger_cb logger{keepLastComplaint};
    // libdvdread prints its own complaint about a missing path on stderr.
    struct stat info;
    if (::stat(source, &info) != 0)
        return fail(Unreadable, std::string("cannot read ") + source + ": " + std::strerror(errno));
    opened.disc.reset(DVDOpen2(nullptr, &logger, source));
    if (!opened.disc)
        return fail(Unreadable, std::string("cannot read ") + source
                                    + (lastComplaint.empty() ? "" : ": " + lastComplaint));
    opened.vmg.reset(ifoOpen(opened.disc.get(), 0));
    if (!opened.vmg || !opened.vmg->tt_srpt)
        return fail(Unreadable, std::string(source) + " holds no readable DVD-Video");
    return Ok;
}

int list(const char *source)
{
    Opened dvd;
    if (int code = open(source, dvd))
        return code;
    const tt_srpt_t &titles = *dvd.vmg->tt_srpt;
    std::printf("TITLES: %d\n", titles.nr_of_srpts);
    std::vector<Ifo> sets(256);
    int broken = 0;
    for (int t = 1; t <= titles.nr_of_srpts; ++t) {
        const title_info_t &info = titles.title[t - 1];
        Ifo &vts = sets[info.title_set_nr];
        if (!vts)
            vts.reset(ifoOpen(dvd.disc.get(), info.title_set_nr));
        const pgc_t *pgc = vts ? titleChain(*vts, info.vts_ttn) : nullptr;
        // A title whose tables can't be read still gets its line, so the
        // numbering of the others stays right.
        if (!pgc && !broken)
            broken = t;
        std::printf("TITLE_%02d\nLENGTH IN MS: %lld\n", t, pgc ? milliseconds(pgc->playback_time) : 0);
    }
    if (broken)
        return fail(ReadFailed, "cannot read the information of title " + std::to_string(broken));
    return Ok;
}

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

int rip(const char *source, const char *titleText, const char *out)
{
    Opened dvd;
    if (int code = open(source, dvd))
        return code;
    const tt_srpt_t &titles = *dvd.vmg->tt_srpt;
    char *end = nullptr;
    const long t = std::strtol(titleText, &end, 10);
    if (*titleText == '\0' || *end != '\0' || t < 1 || t > titles.nr_of_srpts)
        return fail(NoTitle, std::string("title ") + titleText + " does not exist (the disc has "
                                 + std::to_string(titles.nr_of_srpts) + " titles)");
    const std::string name = "title " + std::to_string(t);
    const title_info_t &info = titles.title[t - 1];
    const Ifo vts(ifoOpen(dvd.disc.get(), info.title_set_nr));
    const pgc_t *pgc = vts ? titleChain(*vts, info.vts_ttn) : nullptr;
    if (!pgc || (pgc->nr_of_cells > 0 && !pgc->cell_playback))
        return fail(ReadFailed, "cannot read the information of " + name);
    const VobFile vob(DVDOpenFile(dvd.disc.get(), info.title_set_nr, DVD_READ_TITLE_VOBS));
    if (!vob)
        return fail(ReadFailed, "cannot open the video of " + name);

    // Angle 1: of an angle block only its first cell.
    std::vector<const cell_playback_t *> cells;
    unsigned long long blocks = 0;
    for (int c = 0; c < pgc->nr_of_cells; ++c) {
        const cell_playback_t &cell = pgc->cell_playback[c];
        if (cell.block_type == BLOCK_TYPE_ANGLE_BLOCK && cell.block_mode != BLOCK_MODE_FIRST_CELL)
            continue;
        if (cell.last_sector < cell.first_sector)
            return fail(ReadFailed, "the cell table of " + name + " is broken");
        cells.push_back(&cell);
        blocks += cell.last_sector - cell.first_sector + 1ULL;
    }
    if (blocks == 0)
        return fail(ReadFailed, name + " holds no video");

    const int fd = ::open(out, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(Unwritable, std::string("cannot write ") + out + ": " + std::strerror(errno));
    // A cut-off copy is removed; a device or pipe written to is not ours to remove.
    struct stat written {};
    const bool ownFile = ::fstat(fd, &written) == 0 && S_ISREG(written.st_mode);
    const auto removeCopy = [&] {
        if (ownFile)
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
    for (const cell_playback_t *cell : cells) {
        for (uint32_t at = cell->first_sector; at <= cell->last_sector;) {
            const uint32_t count = std::min<uint32_t>(kBlocksPerRead, cell->last_sector - at + 1);
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
            at += count;
            done += count;
            progress.show(int(done * 100 / blocks));
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
    return Ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2)
        return list(argv[1]);
    if (argc == 4)
        return rip(argv[1], argv[2], argv[3]);
    return fail(Usage, "usage: ripper SOURCE (lists the titles) or ripper SOURCE TITLE OUT (copies a title)");
}
