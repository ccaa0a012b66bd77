#include "media/commandline.h"
#include "app/droppablewidget.h"
#include "support/testsupport.h"

#include <QImage>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// The stream each encoder writes, as ffprobe names it.
const QHash<QString, QString> codecOf{
    {"libx264", "h264"}, {"libx265", "hevc"}, {"libvpx-vp9", "vp9"}, {"mpeg4", "mpeg4"},
    {"mpeg2video", "mpeg2video"}, {"mpeg1video", "mpeg1video"}, {"wmv2", "wmv2"}, {"flv", "flv1"},
    {"libtheora", "theora"}, {"aac", "aac"}, {"libmp3lame", "mp3"}, {"libopus", "opus"},
    {"libvorbis", "vorbis"}, {"flac", "flac"}, {"alac", "alac"}, {"pcm_s16le", "pcm_s16le"},
    {"pcm_s24le", "pcm_s24le"}, {"wmav2", "wmav2"}, {"ac3", "ac3"}, {"mp2", "mp2"}};

// The built catalogue's answer, a row a string with its columns joined by "|".
QStringList select(const QString &sql)
{
    QStringList out;
    for (QSqlQuery q(sql); q.next();) {
        QStringList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i).toString();
        out << row.join('|');
    }
    return out;
}

QSize parseSize(const QString &text)
{
    const QStringList sides = text.split('x');
    return sides.size() == 2 ? QSize(sides.at(0).toInt(), sides.at(1).toInt()) : QSize();
}

struct Preset
{
    int id, format;
    QString caption, extension, args;

    // "-vn" first: an audio preset; "-aspect": the frame is exact, never fitted.
    bool audioOnly() const { return args.startsWith("-vn "); }
    bool exactFrame() const { return args.contains("-aspect"); }
    QString option(const QString &name) const
    {
        const QStringList tokens = args.split(' ');
        const int at = tokens.indexOf(name);
        return at < 0 ? QString() : tokens.value(at + 1);
    }
    // The frame to fit in (the second token) or to match exactly.
    QSize box() const
    {
        if (option("-target").endsWith("-dvd"))
            return option("-target") == "pal-dvd" ? QSize(720, 576) : QSize(720, 480);
        return parseSize(exactFrame() ? option("-s") : args.section(' ', 1, 1));
    }
};

QList<Preset> presets()
{
    QList<Preset> out;
    const char *sql = "SELECT id, format, caption, extension, args FROM tbl_OutputCategories";
    for (const QString &row : select(sql)) {
        const QStringList c = row.split('|');
        out << Preset{c[0].toInt(), c[1].toInt(), c[2], c[3], c[4]};
    }
    return out;
}

// Runs a tool to its end: its exit code (-1 when it didn't end normally) and output.
int run(const QString &program, const QStringList &args, QByteArray *out)
{
    QProcess p;
    p.start(program, args);
    p.closeWriteChannel();
    const bool ended = p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit;
    *out = p.readAllStandardOutput() + p.readAllStandardError().right(800);
    return ended ? p.exitCode() : -1;
}

struct Job
{
    Preset preset;
    QString input, aspect;
    int exitCode = -1, authorExit = -1;
    QByteArray log{}, probe{};
};

} // namespace

// The shipped catalogue: its shape, and every preset converting with the
// installed ffmpeg, the guard against presets breaking with the next one.
class TestPresets : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<Job> m_jobs;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Converts as the program does, probes the result and authors DVD output.
    void convert(Job &job)
    {
        const Preset &p = job.preset;
        const QString out = path(QString("%1-%2.%3").arg(p.id).arg(job.input, p.extension));
        job.exitCode = run("ffmpeg", QStringList{"-nostdin", "-v", "error", "-i", path(job.input)}
                                         + buildPresetArguments(p.args, job.aspect) << out, &job.log);
        run("ffprobe", {"-v", "error", "-show_streams", "-of", "json", out}, &job.probe);
        if (p.format != 7 || job.exitCode != 0)
            return;
        const QString dvd = path(QString("dvd-%1").arg(p.id));
        QFile xml(dvd + ".xml");
        if (xml.open(QIODevice::WriteOnly))
            xml.write(QString("<dvdauthor dest=\"%1\"><vmgm><menus><video format=\"%2\"/></menus></vmgm>"
                              "<titleset><titles><pgc><vob file=\"%3\"/></pgc></titles></titleset>"
                              "</dvdauthor>")
                          .arg(dvd, p.caption.section(' ', 0, 0).toLower(), out).toUtf8());
        xml.close();
        job.authorExit = run("dvdauthor", {"-x", dvd + ".xml"}, &job.log);
    }

private slots:
    void initTestCase()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
        db.setDatabaseName(MFS_TEST_CATALOGUE);
        // Never touch the pristine copy that installs and tests share.
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        QVERIFY(db.open());
        QVERIFY(!QStandardPaths::findExecutable("dvdauthor").isEmpty());
        // 4:4:4 video, so a preset that forgets yuv420p shows it, with 5.1 sound
        // at 48 kHz; the audio-only input is mono at 44.1 kHz.
        QVERIFY(lavfi(path("av.mkv"),
                      {"testsrc=size=320x240:rate=25:duration=1", "sine=sample_rate=48000:duration=1"},
                      {"-af", "pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0", "-c:v", "ffv1", "-pix_fmt",
                       "yuv444p", "-c:a", "flac"}));
        QVERIFY(lavfi(path("audio.flac"), {"sine=sample_rate=44100:duration=1"}, {}));
        for (const Preset &p : presets()) {
            m_jobs << Job{p, "av.mkv", "320x240"};
            if (p.audioOnly())
                m_jobs << Job{p, "audio.flac", ""};
        }
        QThreadPool pool;
        for (Job &job : m_jobs)
            pool.start([this, &job] { convert(job); });
        pool.waitForDone();
    }

    // Audio, then video, as the File menu uses them. Whatever can be dropped
    // can be picked in exactly one of their dialogs; CD tracks are refused.
    void addRows()
    {
        QCOMPARE(select("SELECT id, caption FROM tbl_AddCategories"), (QStringList{"1|Audio", "2|Video"}));
        QStringList offered = select("SELECT open_filter FROM tbl_AddCategories").join(' ').split(
            QRegularExpression("[ ()]")).filter("*.");
        QStringList accepted = DroppableWidget().acceptedExtensions();
        accepted.replaceInStrings(QRegularExpression("^"), "*.").removeOne("*.cda");
        offered.sort();
        accepted.sort();
        QCOMPARE(offered, accepted);
    }

    // Ids 7 and 36 burn a DVD-Video and an audio CD; the burner takes the
    // disc's standard from a DVD preset's caption.
    void discFormatsHaveTheirFixedIds()
    {
        QCOMPARE(select("SELECT id, caption FROM tbl_FormatCategories WHERE id IN (7, 36) ORDER BY id"),
                 (QStringList{"7|DVD", "36|Audio CD"}));
        for (const Preset &p : presets()) {
            if (p.format == 7)
                QCOMPARE(p.caption.section(' ', 0, 0).toLower() + "-dvd " + p.extension, p.option("-target") + " mpg");
            if (p.format == 36)
                QCOMPARE(p.extension, "wav");
        }
    }

    // One picture of its own per row, in the resources, small enough for a
    // 92 x 98 tile with its caption below.
    void everyRowHasItsOwnIcon()
    {
        const QStringList icons = select("SELECT icon FROM tbl_AddCategories"
                                         " UNION ALL SELECT icon FROM tbl_FormatCategories"
                                         " UNION ALL SELECT icon FROM tbl_OutputCategories");
        QCOMPARE(QSet<QString>(icons.cbegin(), icons.cend()).size(), icons.size());
        for (const QString &icon : icons) {
            const QImage image(":/qml/" + icon);
            QVERIFY2(!image.isNull(), qPrintable(icon + " is not in the resources"));
            QVERIFY2(image.width() <= 92 && image.height() <= 60, qPrintable(icon));
        }
    }

    void converts_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_jobs.size(); ++i) {
            const Preset &p = m_jobs.at(i).preset;
            QTest::addRow("%d %s, %s", p.id, qPrintable(p.caption), qPrintable(m_jobs.at(i).input)) << i;
        }
    }

    void converts()
    {
        QFETCH(int, index);
        const Job &job = m_jobs.at(index);
        const Preset &p = job.preset;
        QVERIFY2(job.exitCode == 0, job.log.constData());
        QHash<QString, QList<QJsonObject>> streams;
        for (const QJsonValue &s : QJsonDocument::fromJson(job.probe)["streams"].toArray())
            streams[s["codec_type"].toString()] << s.toObject();
        const QList<QJsonObject> video = streams.value("video"), audio = streams.value("audio");
        const bool dvd = p.format == 7;
        QCOMPARE(audio.size(), 1);
        QCOMPARE(audio[0]["codec_name"].toString(), dvd ? "ac3" : codecOf.value(p.option("-c:a")));
        if (p.format == 36) {
            // Red Book audio, whatever the source.
            QCOMPARE(audio[0]["sample_rate"].toString(), QString("44100"));
            QCOMPARE(audio[0]["sample_fmt"].toString(), QString("s16"));
            QCOMPARE(audio[0]["channels"].toInt(), 2);
        }
        QCOMPARE(video.size(), p.audioOnly() ? 0 : 1);
        if (video.isEmpty())
            return;
        QCOMPARE(video[0]["codec_name"].toString(), dvd ? "mpeg2video" : codecOf.value(p.option("-c:v")));
        QCOMPARE(video[0]["pix_fmt"].toString(), QString("yuv420p"));
        const QSize frame(video[0]["width"].toInt(), video[0]["height"].toInt()), box = p.box();
        QVERIFY2(frame.width() % 2 == 0 && frame.height() % 2 == 0, "odd frame side");
        QVERIFY2(frame.width() <= box.width() && frame.height() <= box.height(), "outside the box");
        if (p.exactFrame()) {
            QCOMPARE(frame, box);
            QCOMPARE(video[0]["display_aspect_ratio"].toString(), p.option("-aspect"));
        } else {
            QCOMPARE(frame, parseSize(buildPresetArguments(p.args, job.aspect).at(1)));
        }
        if (dvd)
            QVERIFY2(job.authorExit == 0, job.log.constData());
    }
};

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
