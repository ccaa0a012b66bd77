// mfs-cdstate DEVICE
//
// Prints "DISC_STATUS=<state>" and, as its last line, "FREE_SECONDS=<n>":
// the sectors still free on the disc divided by 75 (audio sectors per
// second). Any other answer has no DISC_STATUS line and is meant for the
// user. DEVICE is a device node, or a libburn pseudo-drive "stdio:PATH".
//
// Exit codes: 0 answered, 1 no writer at DEVICE, 2 libburn failed.

#include <libburn/libburn.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace burn;

namespace {

const char *statusName(burn_disc_status status)
{
    switch (status) {
    case BURN_DISC_BLANK:
        return "BLANK";
    case BURN_DISC_EMPTY:
        return "EMPTY";
    case BURN_DISC_APPENDABLE:
        return "APPENDABLE";
    case BURN_DISC_FULL:
        return "FULL";
    case BURN_DISC_UNSUITABLE:
        return "UNSUITABLE";
    default:
        return "UNKNOWN";
    }
}

// A scan answers after a while; a drive still spinning up reports UNREADY
// for a while. Both are polled, but never for ever.
const int pollStepUs = 100 * 1000;
const int pollSteps = 200;

bool scanAndGrab(const std::string &device, burn_drive_info **infos)
{
    std::string adr = device;
    if (adr.rfind("stdio:", 0) == 0)
        return burn_drive_scan_and_grab(infos, adr.data(), 1) == 1;

    // Only this drive is scanned and locked, never the machine's others.
    char converted[BURN_DRIVE_ADR_LEN] = {};
    if (burn_drive_convert_fs_adr(adr.data(), converted) == 1)
        adr = converted;
    if (burn_drive_add_whitelist(adr.data()) <= 0)
        return false;
    unsigned int count = 0;
    int answer = 0;
    for (int i = 0; i < pollSteps && (answer = burn_drive_scan(infos, &count)) == 0; ++i)
        usleep(pollStepUs);
    if (answer <= 0 || count == 0) {
        if (answer > 0)
            burn_drive_info_free(*infos);
        return false;
    }
    if (burn_drive_grab((*infos)[0].drive, 1) != 1) {
        burn_drive_info_free(*infos);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || !*argv[1]) {
        std::fprintf(stderr, "usage: mfs-cdstate DEVICE\n");
        return 2;
    }
    const std::string device = argv[1];
    if (!burn_initialize()) {
        std::printf("The CD writer library (libburn) could not be started.\n");
        return 2;
    }
    // libburn's own messages go to the error output, never into the answer.
    burn_msgs_set_severities(const_cast<char *>("NEVER"), const_cast<char *>("SORRY"),
                             const_cast<char *>("mfs-cdstate: "));

    burn_drive_info *infos = nullptr;
    if (!scanAndGrab(device, &infos)) {
        std::printf("No CD writer answers at %s.\n", device.c_str());
        burn_finish();
        return 1;
    }
    burn_drive *drive = infos[0].drive;
    burn_disc_status status = burn_disc_get_status(drive);
    for (int i = 0; i < pollSteps && status == BURN_DISC_UNREADY; ++i) {
        usleep(pollStepUs);
        status = burn_disc_get_status(drive);
    }
    long long freeSectors = 0;
    if (status == BURN_DISC_BLANK || status == BURN_DISC_APPENDABLE)
        freeSectors = burn_disc_available_space(drive, nullptr) / 2048;

    std::printf("DISC_STATUS=%s\n", statusName(status));
    std::printf("FREE_SECONDS=%lld\n", freeSectors / 75);
    std::fflush(stdout);

    burn_drive_release(drive, 0);
    burn_drive_info_free(infos);
    burn_finish();
    return 0;
}
