#include "media/commandline.h"
#include "platform/tools.h"
#include "shipped.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace Shipped;

namespace {

// The stream each encoder writes, as the prober names it.
const QHash<QString, QString> codecOf{
    {"libx264", "h264"},        {"libx265", "hevc"},           {"libvpx-vp9", "vp9"},
    {"mpeg4", "mpeg4"},         {"mpeg2video", "mpeg2video"},  {"mpeg1video", "mpeg1video"},
    {"wmv2", "wmv2"},           {"flv", "flv1"},               {"libtheora", "theora"},
    {"aac", "aac"},             {"libmp3lame", "mp3"},         {"libopus", "opus"},
    {"libvorbis", "vorbis"},    {"flac", "flac"},              {"alac", "alac"},
    {"pcm_s16le", "pcm_s16le"}, {"pcm_s24le", "pcm_s24le"},    {"wmav2", "wmav2"},
    {"ac3", "ac3"},             {"mp2", "mp2"}};

QString videoCodec(const PresetRow &p)
{
    return p.option("-target").endsWith("-dvd") ? "mpeg2video" : codecOf.value(p.option("-c:v"));
}

QString audioCodec(const PresetRow &p)
{
    return p.option("-target").endsWith("-dvd") ? "ac3" : codecOf.value(p.option("-c:a"));
}

const QString videoAspect = "320x240";

struct Outcome
{
    bool finished = false;
    int exitCode = -1;
    QString log;
    QJsonArray streams;
    int authorExit = -1;
    QString authorLog;
};

// Runs chains of programs, a few chains at a time; a step's check decides
// whether its chain goes on.
class Pool
{
public:
    struct Step
    {
        QString program;
        QStringList arguments;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        std::function<bool(QProcess &)> done;
    };

    void add(double cost, QList<Step> chain) { m_chains.append({cost, chain}); }

    // Returns false when the time ran out first.
    bool run(int parallel, int timeoutMs)
    {
        std::stable_sort(m_chains.begin(), m_chains.end(),
                         [](const auto &a, const auto &b) { return a.first > b.first; });
        QTimer::singleShot(timeoutMs, &m_loop, [this] { m_loop.exit(1); });
        for (int i = 0; i < parallel; ++i)
            startNextChain();
        const bool inTime = m_running == 0 || m_loop.exec() == 0;
        for (QProcess *p : std::as_const(m_processes)) {
            p->disconnect();
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
        return inTime;
    }

private:
    void startNextChain()
    {
        if (m_chains.isEmpty()) {
            if (m_running == 0)
                m_loop.exit(0);
            return;
        }
        ++m_running;
        startStep(m_chains.takeFirst().second);
    }

    void startStep(QList<Step> chain)
    {
        const Step step = chain.takeFirst();
        auto *process = new QProcess;
        m_processes << process;
        process->setProgram(step.program);
        process->setArguments(step.arguments);
        process->setProcessEnvironment(step.environment);
        auto next = [this, process, step, chain](int, QProcess::ExitStatus) {
            m_processes.removeOne(process);
            const bool more = step.done(*process) && !chain.isEmpty();
            process->deleteLater();
            if (more) {
                startStep(chain);
            } else {
                --m_running;
                startNextChain();
            }
        };
        QObject::connect(process, &QProcess::finished, process, next);
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [next](QProcess::ProcessError e) {
                             if (e == QProcess::FailedToStart)
                                 next(-1, QProcess::CrashExit);
                         });
        process->start();
        process->closeWriteChannel();
    }

    QList<QPair<double, QList<Step>>> m_chains;
    QList<QProcess *> m_processes;
    QEventLoop m_loop;
    int m_running = 0;
};

// The last lines of a tool's output: where it says what went wrong.
QString tail(const QByteArray &bytes)
{
    const QStringList lines = Tools::toolText(bytes).trimmed().split('\n');
    return lines.mid(std::max(0, int(lines.size()) - 6)).join('\n');
}

QList<QJsonObject> streamsOf(const Outcome &o, const QString &type)
{
    QList<QJsonObject> out;
    for (const QJsonValue &v : o.streams)
        if (v.toObject().value("codec_type").toString() == type)
            out << v.toObject();
    return out;
}

PresetRow preset(int id)
{
    for (const PresetRow &p : presetRows())
        if (p.id == id)
            return p;
    return {};
}

} // namespace

class TestPresets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *tool : {"ffmpeg", "ffprobe", "dvdauthor"})
            QVERIFY2(!Tools::find(tool).isEmpty(), tool);
        m_ffmpeg = Tools::find("ffmpeg");

        // 4:4:4 video, so a preset that forgets yuv420p shows it, and 5.1
        // audio at 48 kHz; the audio-only input is mono at 44.1 kHz.
        makeInput({"-f", "lavfi", "-i", "testsrc=size=" + videoAspect + ":rate=25:duration=1",
                   "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=1",
                   "-filter_complex", "[1:a]pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0[a]",
                   "-map", "0:v", "-map", "[a]", "-c:v", "ffv1", "-pix_fmt", "yuv444p",
                   "-c:a", "flac", path("video.mkv")});
        makeInput({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=1",
                   "-c:a", "flac", path("audio.flac")});

        Pool pool;
        for (const PresetRow &p : presetRows()) {
            // Longest first, so the pool doesn't end waiting on one big job.
            const QSize box = p.box();
            const double cost = p.audioOnly() ? 0.0 : double(box.width()) * box.height()
                * (p.option("-c:v") == "libx265" ? 3 : p.option("-c:v") == "libvpx-vp9" ? 2 : 1);
            pool.add(cost, chain(p, "video.mkv", videoAspect));
            pool.add(0, chain(p, "audio.flac", QString()));
        }
        QVERIFY2(pool.run(QThread::idealThreadCount() + 1, 240000), "conversions ran out of time");
    }

    void videoInput_data() { rows(); }

    // Every preset given a movie; audio presets keep only its sound.
    void videoInput()
    {
        QFETCH(int, id);
        const PresetRow p = preset(id);
        const Outcome o = m_outcomes.value(key(p, "video.mkv"));
        QVERIFY2(o.finished, "did not finish");
        QVERIFY2(o.exitCode == 0, qPrintable(o.log));

        const QList<QJsonObject> video = streamsOf(o, "video");
        if (p.audioOnly()) {
            QVERIFY(video.isEmpty());
            checkAudio(p, o);
            return;
        }
        QCOMPARE(video.size(), 1);
        const QJsonObject v = video.first();
        QVERIFY2(!videoCodec(p).isEmpty(), "unknown video encoder: add it to codecOf");
        QCOMPARE(v.value("codec_name").toString(), videoCodec(p));
        QCOMPARE(v.value("pix_fmt").toString(), QString("yuv420p"));

        const QSize frame(v.value("width").toInt(), v.value("height").toInt());
        const QSize box = p.box();
        QVERIFY2(frame.width() % 2 == 0 && frame.height() % 2 == 0, "odd frame side");
        QVERIFY2(frame.width() <= box.width() && frame.height() <= box.height(), "outside the box");
        if (p.exactFrame()) {
            QCOMPARE(frame, box);
            QCOMPARE(v.value("display_aspect_ratio").toString(), p.option("-aspect"));
        } else {
            const QStringList asked = buildPresetArguments(p.args, videoAspect);
            QCOMPARE(frame, parseSize(asked.at(1)));
        }

        checkAudio(p, o);
        if (p.format == 7) {
            QVERIFY2(o.authorExit == 0, qPrintable(o.authorLog));
            QVERIFY(QFile::exists(path(QString("dvd-%1/DVD/VIDEO_TS/VTS_01_1.VOB").arg(id))));
        }
    }

    void audioInput_data() { rows(); }

    // Every preset given a song; video presets get "-vn" appended unless
    // they keep an exact frame.
    void audioInput()
    {
        QFETCH(int, id);
        const PresetRow p = preset(id);
        const Outcome o = m_outcomes.value(key(p, "audio.flac"));
        QVERIFY2(o.finished, "did not finish");
        QVERIFY2(o.exitCode == 0, qPrintable(o.log));
        QVERIFY(streamsOf(o, "video").isEmpty());
        checkAudio(p, o);
    }

private:
    void checkAudio(const PresetRow &p, const Outcome &o)
    {
        const QList<QJsonObject> audio = streamsOf(o, "audio");
        QCOMPARE(audio.size(), 1);
        QVERIFY2(!audioCodec(p).isEmpty(), "unknown audio encoder: add it to codecOf");
        QCOMPARE(audio.first().value("codec_name").toString(), audioCodec(p));
        if (p.format == 36) {
            // Red Book audio, whatever the source: mono or 5.1, 44.1 or 48 kHz.
            QCOMPARE(audio.first().value("sample_rate").toString(), QString("44100"));
            QCOMPARE(audio.first().value("sample_fmt").toString(), QString("s16"));
            QCOMPARE(audio.first().value("channels").toInt(), 2);
        }
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QString key(const PresetRow &p, const QString &input)
    {
        return QString::number(p.id) + "/" + input;
    }

    void makeInput(const QStringList &arguments)
    {
        QProcess ffmpeg;
        ffmpeg.start(m_ffmpeg, QStringList{"-hide_banner", "-loglevel", "error"} + arguments);
        QVERIFY(ffmpeg.waitForFinished(60000));
        QVERIFY2(ffmpeg.exitCode() == 0, qPrintable(tail(ffmpeg.readAllStandardError())));
    }

    void rows()
    {
        QTest::addColumn<int>("id");
        for (const PresetRow &p : presetRows())
            QTest::addRow("%d %s: %s", p.id, qPrintable(formatCaption(p.format)),
                          qPrintable(p.caption))
                << p.id;
    }

    // Convert as the program does, probe the result, and author DVD output.
    QList<Pool::Step> chain(const PresetRow &p, const QString &input, const QString &aspect)
    {
        const QString k = key(p, input);
        const QString out =
            path(QString("%1-%2.%3").arg(p.id).arg(input.section('.', 0, 0), p.extension));
        QList<Pool::Step> steps;

        Pool::Step convert;
        convert.program = m_ffmpeg;
        convert.arguments = QStringList{"-i", path(input)} + buildPresetArguments(p.args, aspect)
            + QStringList{out};
        convert.done = [this, k](QProcess &proc) {
            Outcome &o = m_outcomes[k];
            o.finished = proc.error() != QProcess::FailedToStart
                && proc.exitStatus() == QProcess::NormalExit;
            o.exitCode = proc.exitCode();
            o.log = tail(proc.readAllStandardError());
            return o.finished && o.exitCode == 0;
        };
        steps << convert;

        Pool::Step probe;
        probe.program = Tools::find("ffprobe");
        probe.arguments = QStringList{"-v", "error", "-show_streams", "-of", "json", out};
        probe.done = [this, k](QProcess &proc) {
            const QJsonDocument probed = QJsonDocument::fromJson(proc.readAllStandardOutput());
            m_outcomes[k].streams = probed.object().value("streams").toArray();
            return true;
        };
        steps << probe;

        if (p.format == 7 && !aspect.isEmpty()) {
            // The project file as the burner writes it: the standard from the
            // caption's first word.
            const QString standard = p.caption.section(' ', 0, 0) == "PAL" ? "pal" : "ntsc";
            const QString project = path(QString("dvd-%1.xml").arg(p.id));
            QDir().mkpath(path(QString("dvd-%1/DVD").arg(p.id)));
            QFile xml(project);
            if (xml.open(QIODevice::WriteOnly))
                xml.write(QString("<dvdauthor dest=\"%1\">\n<vmgm>\n<menus lang=\"en\">\n"
                                  "<video format=\"%2\" widescreen=\"nopanscan\" />\n</menus>\n"
                                  "</vmgm>\n<titleset>\n<titles>\n<pgc>\n<vob file=\"%3\" />\n"
                                  "</pgc>\n</titles>\n</titleset>\n</dvdauthor>")
                              .arg(path(QString("dvd-%1/DVD").arg(p.id)), standard, out)
                              .toUtf8());
            Pool::Step author;
            author.program = Tools::find("dvdauthor");
            author.arguments = QStringList{"-x", project};
            author.environment.insert("VIDEO_FORMAT", standard.toUpper());
            author.done = [this, k](QProcess &proc) {
                m_outcomes[k].authorExit =
                    proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
                m_outcomes[k].authorLog = tail(proc.readAllStandardError());
                return true;
            };
            steps << author;
        }
        return steps;
    }

    QTemporaryDir m_dir;
    QString m_ffmpeg;
    QHash<QString, Outcome> m_outcomes;
};

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
