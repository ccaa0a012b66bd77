#pragma once

#include "support/testsupport.h"

// A disc image of stereo noise (s16le, 44.1 kHz) made by ffmpeg, with audio
// tracks of the given sector counts, as a cue sheet and as a cdrdao table
// over one bin. With a `volume`, an ISO 9660 data track as raw Mode 1
// sectors follows (an enhanced CD). `pcm` holds the audio bytes.
struct CdImage {
    QString cue;
    QByteArray pcm;
    QList<int> starts;
    QByteArray track(int i, int sectors) const { return pcm.mid(starts.at(i) * 2352, sectors * 2352); }
};

inline QString msf(int s)
{
    return QString::asprintf("%02d:%02d:%02d", s / 4500, s / 75 % 60, s % 75);
}

// libcdio finds the bin by the cue sheet's own name.
inline CdImage makeCdImage(const QString &dir, const QString &name, const QList<int> &lengths, int firstTrack = 1,
                           const QString &header = {}, const QString &volume = {})
{
    CdImage image{dir + "/" + name + ".cue", {}, {}};
    const QString bin = dir + "/" + name + ".bin";
    int total = 0;
    QString cue = header + "FILE \"" + name + ".bin\" BINARY\n", toc = "CD_DA\n";
    for (int i = 0; i < lengths.size(); total += lengths.at(i++)) {
        image.starts << total;
        cue += QString::asprintf("TRACK %02d AUDIO\nINDEX 01 ", firstTrack + i) + msf(total) + "\n";
        toc += "TRACK AUDIO\nFILE \"" + name + ".bin\" " + msf(total) + " " + msf(lengths.at(i)) + "\n";
    }
    ffmpeg({"-f", "lavfi", "-i", "anoisesrc=r=44100:seed=1", "-f", "lavfi", "-i", "anoisesrc=r=44100:seed=2",
            "-filter_complex", "[0][1]amerge,atrim=end_sample=" + QString::number(total * 588), "-f", "s16le", bin});
    image.pcm = readFile(bin);
    if (!volume.isEmpty()) {
        QDir(dir).mkdir("empty");
        runTool("genisoimage", {"-V", volume, "-o", dir + "/data.iso", dir + "/empty"});
        QFile iso(dir + "/data.iso");
        iso.open(QIODevice::ReadOnly);
        QByteArray raw;
        auto bcd = [](int v) { return char(v / 10 * 16 + v % 10); };
        for (int s = total + 150; !iso.atEnd(); ++s)
            raw += QByteArray::fromHex("00ffffffffffffffffffff00") + bcd(s / 4500) + bcd(s / 75 % 60) + bcd(s % 75)
                   + char(1) + iso.read(2048) + QByteArray(288, '\0');
        QFile data(bin);
        if (data.open(QIODevice::Append))
            data.write(raw);
        cue += QString::asprintf("TRACK %02d MODE1/2352\nINDEX 01 ", firstTrack + int(lengths.size())) + msf(total);
    }
    writeFile(image.cue, cue.toUtf8());
    writeFile(dir + "/" + name + ".toc", toc.toUtf8());
    return image;
}
