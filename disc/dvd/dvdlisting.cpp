#include "disc/dvd/dvdlisting.h"

#include "disc/drives.h"
#include "platform/tools.h"

namespace {

// ripper's status for a source that holds no DVD-Video it can read.
constexpr int kNoDvd = 2;

} // namespace

DvdListing listDvd(const QString &source, int timeoutMs)
{
    DvdListing listing;
    const Tools::Run run = Tools::run("ripper", {source}, timeoutMs);
    if (!run.found) {
        listing.problem = "The DVD ripper \"ripper\" could not be found. Please reinstall MediaForgeStudio.";
        return listing;
    }
    if (!run.started) {
        listing.problem = "The DVD ripper \"ripper\" could not be started.";
        listing.detail = run.error;
        return listing;
    }
    const QStringList said = Tools::toolText(run.err).trimmed().split('\n');
    const QString lastWord = said.last().trimmed();
    const QString cannot = "Cannot read the titles of " + source + ": ";
    if (run.timedOut) {
        listing.problem = cannot + QString("ripper took longer than %1 seconds.").arg(timeoutMs / 1000);
    } else if (run.exitCode < 0) {
        // Only a damaged disc has made it crash so far; it is never an empty one.
        listing.problem = cannot + "the DVD's structure is damaged: ripper crashed reading it.";
        listing.detail = lastWord;
    } else if (run.exitCode != 0 && run.exitCode != kNoDvd) {
        listing.problem = cannot + (lastWord.isEmpty() ? QString("ripper ended with exit code %1").arg(run.exitCode)
                                                       : lastWord);
    } else {
        if (run.exitCode == 0)
            listing.titles = parseDvdListing(Tools::toolText(run.out));
        if (listing.titles.lengths.isEmpty()) {
            listing.problem = "No DVD titles were found in " + source + ".";
            // The drive's word on why matters more than the tool's.
            listing.detail = Drives::accessProblem(source);
            if (listing.detail.isEmpty())
                listing.detail = lastWord;
        }
    }
    return listing;
}
