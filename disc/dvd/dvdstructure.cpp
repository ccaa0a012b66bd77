#include "disc/dvd/dvdstructure.h"

#include "platform/filenames.h"

#include <QCryptographicHash>

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

namespace {

void quiet(void *, dvd_logger_level_t, const char *, va_list) {}

// The information file and the title VOBs of title set `set` into `sum`;
// false when a part that is there can't be read.
bool addTitleSet(dvd_reader_t *dvd, int set, QCryptographicHash &sum)
{
    for (const dvd_read_domain_t domain : {DVD_READ_INFO_FILE, DVD_READ_TITLE_VOBS}) {
        if (set == 0 && domain == DVD_READ_TITLE_VOBS)
            continue;
        dvd_file_t *file = DVDOpenFile(dvd, set, domain);
        if (!file)
            return domain == DVD_READ_TITLE_VOBS;
        const ssize_t blocks = DVDFileSize(file);
        QByteArray buffer(512 * DVD_VIDEO_LB_LEN, Qt::Uninitialized);
        bool ok = blocks >= 0;
        for (ssize_t at = 0; ok && at < blocks;) {
            const size_t count = size_t(qMin<ssize_t>(512, blocks - at));
            const ssize_t got = domain == DVD_READ_INFO_FILE
                                    ? DVDReadBytes(file, buffer.data(), count * DVD_VIDEO_LB_LEN) / DVD_VIDEO_LB_LEN
                                    : DVDReadBlocks(file, int(at), count, reinterpret_cast<unsigned char *>(buffer.data()));
            ok = got == ssize_t(count);
            if (ok)
                sum.addData(QByteArrayView(buffer.constData(), qsizetype(count) * DVD_VIDEO_LB_LEN));
            at += ssize_t(count);
        }
        DVDCloseFile(file);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

DvdStructure readDvdStructure(const QString &source)
{
    DvdStructure structure;
    if (!FileNames::exists(source)) {
        structure.problem = "it is not there";
        return structure;
    }
    static const dvd_logger_cb logger{quiet};
    dvd_reader_t *dvd = DVDOpen2(nullptr, &logger, FileNames::encode(source).constData());
    ifo_handle_t *vmg = dvd ? ifoOpen(dvd, 0) : nullptr;
    if (!vmg || !vmg->tt_srpt || !vmg->vmgi_mat) {
        structure.problem = "it holds no DVD-Video";
    } else {
        for (int t = 0; t < vmg->tt_srpt->nr_of_srpts; ++t)
            structure.chapters << vmg->tt_srpt->title[t].nr_of_ptts;
        for (int set = 0; set <= vmg->vmgi_mat->vmg_nr_of_title_sets; ++set) {
            QCryptographicHash sum(QCryptographicHash::Sha256);
            if (!addTitleSet(dvd, set, sum)) {
                structure.problem = QString("title set %1 can't be read").arg(set);
                break;
            }
            structure.titleSetSums << sum.result();
        }
    }
    if (vmg)
        ifoClose(vmg);
    if (dvd)
        DVDClose(dvd);
    return structure;
}

QString compareDvdStructures(const DvdStructure &authored, const DvdStructure &written)
{
    if (!written.problem.isEmpty())
        return written.problem;
    if (written.chapters.size() != authored.chapters.size())
        return QString("it has %1 titles, not %2").arg(written.chapters.size()).arg(authored.chapters.size());
    for (int t = 0; t < authored.chapters.size(); ++t) {
        if (written.chapters.at(t) != authored.chapters.at(t))
            return QString("title %1 has %2 chapters, not %3")
                .arg(t + 1)
                .arg(written.chapters.at(t))
                .arg(authored.chapters.at(t));
    }
    for (int set = 0; set < authored.titleSetSums.size(); ++set) {
        if (written.titleSetSums.value(set) != authored.titleSetSums.at(set))
            return set == 0 ? QString("its video manager differs") : QString("title set %1 differs").arg(set);
    }
    return {};
}
