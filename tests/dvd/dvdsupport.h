#pragma once

#include "support/testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

// A DVD-Video made for the test: titles of 5, 20 and 12 seconds (the last
// one NTSC), each in a title set of its own so that a title's bytes are its
// VOB file's, as a folder and as an ISO image labelled MOVIE.
class TestDisc
{
public:
    static constexpr int seconds[] = {5, 20, 12};

    QString folder() const { return m_dir.filePath("disc"); }
    QString iso() const { return m_dir.filePath("movie.iso"); }
    QString vob(int title) const { return folder() + QString("/VIDEO_TS/VTS_%1_1.VOB").arg(title, 2, 10, QChar('0')); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    bool build()
    {
        QString xml = "<dvdauthor dest=\"" + folder() + "\"><vmgm/>";
        for (int t = 1; t <= 3; ++t) {
            const bool ntsc = t == 3;
            const QString mpg = m_dir.filePath(QString("t%1.mpg").arg(t));
            const QString picture = QString("color=c=blue:size=%1:rate=%2").arg(ntsc ? "720x480" : "720x576",
                                                                               ntsc ? "30000/1001" : "25");
            if (QProcess::execute("ffmpeg", {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i", picture,
                                             "-f", "lavfi", "-i", "sine=sample_rate=48000", "-t",
                                             QString::number(seconds[t - 1]), "-target",
                                             ntsc ? "ntsc-dvd" : "pal-dvd", "-aspect", "4:3", mpg}) != 0)
                return false;
            xml += "<titleset><titles><pgc><vob file=\"" + mpg + "\"/></pgc></titles></titleset>";
        }
        QFile project(m_dir.filePath("dvd.xml"));
        if (!project.open(QIODevice::WriteOnly) || project.write((xml + "</dvdauthor>").toUtf8()) < 0)
            return false;
        project.close();
        QProcess author;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VIDEO_FORMAT", "PAL");
        author.setProcessEnvironment(env);
        author.start("dvdauthor", {"-x", project.fileName()});
        return author.waitForFinished(60000) && author.exitCode() == 0
               && QProcess::execute("genisoimage", {"-quiet", "-dvd-video", "-V", "MOVIE", "-o", iso(), folder()}) == 0;
    }

private:
    QTemporaryDir m_dir;
};

inline QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
