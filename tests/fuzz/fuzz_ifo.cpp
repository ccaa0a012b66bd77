// ripper's listing and copy on a small real DVD folder (two title sets, three
// titles) whose information files are replaced by the input: byte 0 picks
// the file (VIDEO_TS, VTS_01_0 or VTS_02_0; its IFO, its BUP or both) and the
// title to copy, the rest is the file. Neither may crash or hang, and a copy
// is either whole sectors or not there at all.
#include "ripper.h"

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

#define EXPECT(condition) ((condition) ? void() : std::abort())

namespace {

const char *const kInfoFiles[] = {"VIDEO_TS", "VTS_01_0", "VTS_02_0"};
constexpr size_t kVobBlocks = 96; // room for the seeds' cells, zeros being video enough

struct Disc {
    std::string root, folder, out;
    std::vector<unsigned char> pristine[3];
};

bool put(const std::string &path, const unsigned char *data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool ok = fd >= 0 && ::write(fd, data, size) == ssize_t(size);
    if (fd >= 0)
        ::close(fd);
    return ok;
}

std::string infoPath(const Disc &disc, int set, bool backup)
{
    return disc.folder + "/" + kInfoFiles[set] + (backup ? ".BUP" : ".IFO");
}

// The folder, made once from the seeds that hold whole files.
const Disc &disc()
{
    static const Disc made = [] {
        Disc d;
        char root[] = "/tmp/mfs-fuzz-ifo-XXXXXX";
        EXPECT(::mkdtemp(root));
        d.root = root;
        d.folder = d.root + "/VIDEO_TS";
        d.out = d.root + "/title.vob";
        EXPECT(::mkdir(d.folder.c_str(), 0755) == 0);
        DIR *seeds = ::opendir(MFS_FUZZ_SEEDS);
        EXPECT(seeds);
        while (const dirent *entry = ::readdir(seeds)) {
            const std::string name = entry->d_name;
            if (name.size() < 5 || name.compare(name.size() - 5, 5, "-both") != 0)
                continue;
            std::ifstream file(std::string(MFS_FUZZ_SEEDS "/") + name, std::ios::binary);
            std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
            EXPECT(!bytes.empty());
            d.pristine[bytes[0] % 9 / 3].assign(bytes.begin() + 1, bytes.end());
        }
        ::closedir(seeds);
        for (int set = 0; set < 3; ++set) {
            EXPECT(!d.pristine[set].empty());
            for (bool backup : {false, true})
                EXPECT(put(infoPath(d, set, backup), d.pristine[set].data(), d.pristine[set].size()));
        }
        const std::vector<unsigned char> zeros(kVobBlocks * 2048);
        for (const char *vob : {"/VTS_01_1.VOB", "/VTS_02_1.VOB"})
            EXPECT(put(d.folder + vob, zeros.data(), zeros.size()));
        // The tool's own words go nowhere; the fuzzer's stay on standard error.
        EXPECT(std::freopen("/dev/null", "w", stdout));
        ripper::complaints = std::fopen("/dev/null", "w");
        return d;
    }();
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Disc &d = disc();
    if (size < 1)
        return 0;
    const int file = data[0] % 9, set = file / 3, which = file % 3;
    const std::string title = std::to_string(data[0] / 9 % 4 + 1);
    for (bool backup : {false, true}) {
        if (which == 2 || which == int(backup))
            EXPECT(put(infoPath(d, set, backup), data + 1, size - 1));
    }

    const int listed = ripper::list(d.folder.c_str());
    EXPECT(listed == ripper::Ok || listed == ripper::Unreadable || listed == ripper::ReadFailed);
    const int copied = ripper::copy(d.folder.c_str(), title.c_str(), d.out.c_str());
    struct stat out {};
    const bool made = ::lstat(d.out.c_str(), &out) == 0;
    EXPECT(copied == ripper::Ok ? made && S_ISREG(out.st_mode) && out.st_size > 0 && out.st_size % 2048 == 0
                                : !made && copied != ripper::Unwritable && copied != ripper::Usage);
    ::unlink(d.out.c_str());

    for (bool backup : {false, true})
        EXPECT(put(infoPath(d, set, backup), d.pristine[set].data(), d.pristine[set].size()));
    return 0;
}
