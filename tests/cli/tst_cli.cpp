#include "app/mainwindow.h"
#include "app/startup.h"
#include "catalogue/catalogue.h"
#include "media/mediasupport.h"
#include "cli/clirun.h"
#include "ui/pagedriver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <unistd.h>

// A conversion with preset 1402 (FLAC): the files already in its folder
// ("a>b" is a link a leading to b), what it makes and how it ends.
struct Conversion {
    QStringList inputs, made, existing = {}, options = {};
    int status = 0;
    QString err = {};
};
Q_DECLARE_METATYPE(Conversion)

// The window, then the command line, on an input whose video stream is
// `video` ("" for none), with the user's own arguments: one argument expected.
struct Parity {
    QByteArray video;
    QString ownArgs, sign, name = "clip";
};
Q_DECLARE_METATYPE(Parity)
Q_DECLARE_METATYPE(Answer)

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir media;
    QString tone, av, notes;

private slots:
    void initTestCase()
    {
        tone = media.filePath("tone.wav");
        av = media.filePath("av.mkv");
        notes = media.filePath("notes.txt");
        QVERIFY(makeMedia(tone, "audio") && makeMedia(av, "av") && writeFile(notes, "not media\n"));
        QVERIFY(QFile::copy(tone, media.filePath("locked.wav")));
        QVERIFY(QFile::copy(tone, media.filePath("tone.wav ")));
    }

    // Help, and every refusal: one line naming the fault, and nothing done.
    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Answer>("expected");
        auto row = [](const char *name, const QStringList &args, int status, const QString &out,
                      const QString &err) { QTest::newRow(name) << args << Answer{status, out, err}; };
        const QString flac = "1402";
        row("overview", {"--help"}, 0, "convert --preset ID [--output DIR]", "");
        row("command help", {"convert", "--preset", "9", "-h"}, 0, "--args \"ARGS\"", "");
        row("version", {"--version"}, 0, "mediaforgestudio-cli 0.1\n", "");
        row("no command", {}, 2, "", "no command given");
        row("unknown command", {"burn"}, 2, "", "unknown command burn");
        row("unknown option", {"info", "--fast", tone}, 2, "", "info: unknown option --fast");
        row("value missing", {"convert", tone, "--preset"}, 2, "", "--preset needs a value");
        row("switch with value", {"info", "--json=yes", tone}, 2, "", "takes no value");
        row("no preset", {"convert", tone}, 2, "", "missing --preset ID");
        row("unknown preset", {"convert", "--preset", "999", tone}, 2, "", "convert: unknown preset id 999");
        row("unknown format", {"presets", "--format", "999"}, 2, "", "unknown device or format id 999");
        row("no file", {"info"}, 2, "", "info: missing FILE");
        row("missing file", {"convert", "--preset", flac, tone, "gone.wav"}, 2, "", "gone.wav: no such file");
        row("folder", {"info", media.path()}, 2, "", "is a folder");
        row("no output folder", {"convert", "--preset", flac, "--output", "/none", tone}, 2, "", "/none: no such");
        row("empty arguments", {"convert", "--preset", flac, "--args", " ", tone}, 2, "", "--args needs converter");
        row("no jobs", {"convert", "--preset", flac, "--jobs", "0", tone}, 2, "", "--jobs takes a number from 1 up");
        // Root reads any file, so only others can see this refusal.
        if (::geteuid() != 0 && QFile::setPermissions(media.filePath("locked.wav"), {}))
            row("unreadable", {"info", media.filePath("locked.wav")}, 2, "", "locked.wav: can't be read");
        row("not media", {"info", notes}, 1, "",
            "notes.txt: FFmpeg is unable to extract any valid video or audio stream from the input file notes.txt.\n");
    }
    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(Answer, expected);
        ScratchProduct product;
        const QStringList before = filesBelow(media.path());
        const Answer a = cli(args);
        QCOMPARE(a.status, expected.status);
        QVERIFY2(expected.out.isEmpty() ? a.out.isEmpty() : a.out.contains(expected.out), qPrintable(a.out));
        const bool oneLine = a.err.startsWith("mediaforgestudio-cli: ") && a.err.count('\n') == 1;
        QVERIFY2(expected.err.isEmpty() ? a.err.isEmpty() : oneLine && a.err.contains(expected.err), qPrintable(a.err));
        QCOMPARE(filesBelow(media.path()), before);
    }

    // The window's order, from a catalogue the listing never changes.
    void presets()
    {
        ScratchProduct product;
        Catalogue::open(product.catalogue());
        // Mostly FLAC, at its best.
        QVERIFY(QSqlQuery().exec("UPDATE tbl_FormatCategories SET count=5 WHERE id=14")
                && QSqlQuery().exec("UPDATE tbl_OutputCategories SET count=3 WHERE id=1402"));
        QStringList windowOrder, order;
        const QStringList formats = Catalogue::formatModel();
        for (int i = 0; i < formats.size(); i += Catalogue::formatColumns)
            windowOrder << formats.at(i);
        Catalogue::close();
        const QByteArray before = readFile(product.catalogue());

        const Answer json = cli({"presets", "--json"});
        QCOMPARE(json.status, 0);
        const QJsonObject doc = QJsonDocument::fromJson(json.out.toUtf8()).object();
        for (const QJsonValue &format : doc["formats"].toArray())
            order << QString::number(format["id"].toInt());
        QCOMPARE(order, windowOrder);
        QCOMPARE(order.first(), "14");
        QCOMPARE(doc["formats"][0]["presets"][0]["id"].toInt(), 1402);
        QVERIFY(cli({"presets", "--format", "14"}).out.startsWith("Format 14: FLAC\n  1402  Best "));
        QCOMPARE(readFile(product.catalogue()), before);
    }

    void info()
    {
        ScratchProduct product;
        const Answer a = cli({"info", "--json", av, tone});
        QCOMPARE(a.status, 0);
        const QJsonArray files = QJsonDocument::fromJson(a.out.toUtf8()).array();
        QCOMPARE(files.size(), 2);
        const QJsonObject film = files[0].toObject(), sound = files[1].toObject();
        QCOMPARE(film["path"].toString(), av);
        QCOMPARE(film["duration"].toString() + " " + film["frameSize"].toString(), "00:00:03 160x120");
        QVERIFY(film["videoCodec"].toString().startsWith("h264") && film["audioCodec"].toString().startsWith("aac"));
        QVERIFY(sound["frameSize"].toString().isEmpty() && sound["audioCodec"].toString().startsWith("pcm_s16le"));
        QVERIFY(cli({"info", av}).out.startsWith(av + "\n  Name:       av.mkv\n"));
        QCOMPARE(QDir(product.temp()).entryList({"*.png"}), QStringList());
    }

    // Real conversions: names, failures and what is left on disk.
    void convert_data()
    {
        const QStringList wav{"tone.wav"};
        addRows<Conversion>("run", {
            {"beside the input", {wav, {"tone.flac"}}},
            {"never overwrites", {wav, {"tone (New)(2).flac"}, {"tone.flac", "tone (New).flac"}, {"--jobs", "auto"}}},
            {"own arguments fail", {wav, {}, {}, {"--args", "-vn -map 0:a:1 -c:a flac"}, 1,
                                    "tone.wav: To ignore this, add a trailing '?' to the map.\n"}},
            {"run goes on", {{"notes.txt", "tone.wav"}, {"tone.flac"}, {}, {"--jobs", "1"}, 1,
                             "notes.txt: FFmpeg is unable"}},
            // Exactly the file named, beside one without the space.
            {"name ends in a space", {{"tone.wav "}, {"tone.flac"}, {"tone.wav"}}},
            // Left as it is, and nothing goes through it into out/.
            {"dangling link at the name", {wav, {"tone (New).flac"}, {"tone.flac>out/tone.flac"}}},
        });
    }
    void convert()
    {
        QFETCH(Conversion, run);
        ScratchProduct product;
        const QByteArray catalogue = readFile(product.catalogue());
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkdir("out"));
        QStringList args = QStringList{"convert", "--preset", "1402"} + run.options, expected = run.inputs + run.made;
        for (const QString &name : run.inputs) {
            QVERIFY(QFile::copy(media.filePath(name), work.filePath(name)));
            args << work.filePath(name);
        }
        for (const QString &name : run.existing) {
            expected << name.section('>', 0, 0);
            const QString at = work.filePath(expected.last());
            QVERIFY(name.contains('>') ? QFile::link(work.filePath(name.section('>', 1)), at) : writeFile(at, "keep"));
        }
        const Answer a = cli(args);
        QCOMPARE(a.status, run.status);
        QString printed;
        for (const QString &name : run.made) {
            printed += work.filePath(name) + "\n";
            QCOMPARE(readFile(work.filePath(name)).left(4), "fLaC");
        }
        QCOMPARE(a.out, printed);
        expected.sort();
        QCOMPARE(filesBelow(work.path()), expected);
        for (const QString &name : run.existing) {
            const QString path = work.filePath(name.section('>', 0, 0));
            QVERIFY2(name.contains('>') ? QFileInfo(path).isSymLink() : readFile(path) == "keep", qPrintable(name));
        }
        if (run.status == 0)
            QVERIFY2(a.err.endsWith(": " + QFileInfo(run.made.last()).fileName() + " 100%\n"), qPrintable(a.err));
        else
            QVERIFY2(a.err.contains(run.err), qPrintable(a.err));
        QCOMPARE(readFile(product.catalogue()), catalogue);
    }

    // A stop ends the converter and removes its partial output.
    void stops_data() { addRows<int>("signal", {{"Ctrl-C", SIGINT}, {"SIGTERM", SIGTERM}}); }
    void stops()
    {
        QFETCH(int, signal);
        ScratchProduct product;
        QTemporaryDir work;
        StandIn ffmpeg("film", work.path());
        const QString input = work.filePath("film.mkv");
        QVERIFY(writeFile(input, "film"));
        QProcess p;
        p.start(builtProgram, {"convert", "--preset", "104", input});
        // The name is claimed before the converter starts; it writes once it runs.
        QTRY_VERIFY(ffmpeg.alive() && readFile(work.filePath("film.mp4")) == "partial\n");
        QCOMPARE(interrupt(p, signal), 128 + signal);
        QVERIFY(!QFileInfo::exists(work.filePath("film.mp4")));
        QVERIFY(!ffmpeg.alive());
        QVERIFY(p.readAllStandardError().endsWith("stopped; " + input.toUtf8() + " was not converted\n"));
    }

    // Runs started together never share an output: four conversions of one
    // input into one folder give four whole files, at once.
    void fourAtOnce()
    {
        ScratchProduct product;
        QTemporaryDir work;
        const QString input = work.filePath("in.wav"), out = work.filePath("out");
        QVERIFY(QFile::copy(tone, input) && QDir().mkdir(out));
        QProcess runs[4];
        for (QProcess &run : runs)
            run.start(builtProgram, {"convert", "--preset", "203", "--output", out, input});
        for (QProcess &run : runs)
            QVERIFY(run.waitForFinished(15000) && run.exitCode() == 0);
        const QStringList names{"in (New)(2).mp3", "in (New)(3).mp3", "in (New).mp3", "in.mp3"};
        QCOMPARE(filesBelow(out), names);
        for (const QString &name : names)
            QVERIFY2(streams(out + "/" + name).startsWith("mp3 3."), qPrintable(streams(out + "/" + name)));
    }

    // Any name the file system holds converts, also in the C locale, and the
    // output keeps its bytes.
    void foreignNames_data() { addRows<QByteArray>("locale", {{"UTF-8 locale", "C.UTF-8"}, {"C locale", "C"}}); }
    void foreignNames()
    {
        QFETCH(QByteArray, locale);
        ScratchProduct product;
        QTemporaryDir work;
        const QString input = work.filePath(latin1Name(".wav")), output = work.filePath(latin1Name(".flac"));
        QVERIFY(writeNamed(input, readFile(tone)));
        const QByteArray previous = qgetenv("LC_ALL");
        qputenv("LC_ALL", locale);
        const Answer info = cli({"info", input});
        const Answer converted = cli({"convert", "--preset", "1402", latin1Name(".wav")}, builtProgram, work.path());
        qputenv("LC_ALL", previous);
        const qint64 size = FileNames::size(output);
        for (const QString &path : {input, output})
            ::unlink(FileNames::encode(path).constData());
        QVERIFY2(info.status == 0 && info.out.startsWith(input + "\n"), qPrintable(info.out + info.err));
        QCOMPARE(converted.status, 0);
        QCOMPARE(converted.out, output + "\n");
        QVERIFY(size > 1000);
    }

    // The window's page and backend, then the command line: one argument list.
    void sameArgumentsAsWindow_data()
    {
        const QByteArray pal = "h264 (High), yuv420p(progressive), 720x576 [SAR 1:1 DAR 5:4], 25 fps";
        addRows<Parity>("run", {
            {"fitted", {pal, "", "450x360"}},
            {"no video", {{}, "", "-vn"}},
            {"own arguments", {pal, "-s 320x240  -c:v mpeg4", "300x240"}},
            // The tool gets the input's bytes, and the output keeps them.
            {"name not UTF-8", {pal, "", "450x360", latin1Name("")}},
        });
    }
    void sameArgumentsAsWindow()
    {
        using namespace PageDriver;
        QFETCH(Parity, run);
        ScratchProduct product;
        QTemporaryDir work;
        StandIn ffmpeg("film", work.path());
        qputenv("MFS_FAKE_VIDEO", run.video);
        const QString input = work.filePath(run.name + ".mkv"), output = work.filePath(run.name + ".mp4"),
                      argv = work.filePath("argv");
        QVERIFY(writeNamed(input, "clip") && writeFile(work.filePath("go"), ""));
        const auto removeNamed = qScopeGuard([&] { ::unlink(FileNames::encode(input).constData()); });
        {
            PromptRecorder prompts;
            MainWindow window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            handOverCommandLine(window, {"mediaforgestudio", input});
            QTRY_COMPARE(eval(window, "return mediaList.mediaListModel.get(0).loading").toBool(), false);
            QVERIFY(click(window, "tabHeader1"));
            for (const QString tile : {"formatTile:MP4", "outputTile:Low"}) {
                QTRY_VERIFY(shown(window, tile));
                QVERIFY(click(window, tile));
            }
            if (!run.ownArgs.isEmpty())
                eval(window, "mainPage.ffmpegArgs = '" + run.ownArgs + "'");
            QVERIFY(click(window, "formatNext") && click(window, "convertButton"));
            QTRY_COMPARE(eval(window, "return mediaList.mediaListModel.get(0).currentStatus").toString(), "complete");
        }
        const QByteArray fromWindow = readFile(argv);
        QVERIFY(QFile::remove(argv) && ::unlink(FileNames::encode(output).constData()) == 0);
        const QStringList own = run.ownArgs.isEmpty() ? QStringList() : QStringList{"--args", run.ownArgs};
        QCOMPARE(cli(QStringList{"convert", "--preset", "104"} + own + QStringList{input}).status, 0);
        qunsetenv("MFS_FAKE_VIDEO");
        QCOMPARE(readFile(argv), fromWindow);
        ::unlink(FileNames::encode(output).constData());
        const QByteArrayList arguments = fromWindow.split('\n');
        QVERIFY(arguments.contains(run.sign.toUtf8()) && arguments.contains(FileNames::encode(input))
                && arguments.contains(FileNames::encode(output)));
    }

    void linksNoInterfaceLibraries()
    {
        QProcess ldd;
        ldd.start("ldd", {builtProgram});
        QVERIFY(ldd.waitForFinished());
        const QByteArray libraries = ldd.readAllStandardOutput();
        QVERIFY(libraries.contains("libQt6Core"));
        for (const char *library : {"libQt6Gui", "libQt6Widgets", "libQt6Quick", "libQt6Qml"})
            QVERIFY2(!libraries.contains(library), library);
    }

    // Installed with its link in bin/, for a user without a usable catalogue,
    // whose file is left as it is.
    void installedFallsBack_data() { addRows<QByteArray>("own", {{"no catalogue", {}}, {"damaged", "junk"}}); }
    void installedFallsBack()
    {
        QFETCH(QByteArray, own);
        ScratchProduct product(false);
        QVERIFY(own.isEmpty() || writeFile(product.catalogue(), own));
        QTemporaryDir prefix;
        QVERIFY(runTool(MFS_CMAKE, {"--install", MFS_BUILD_DIR, "--prefix", prefix.path()}));
        const QString link = prefix.filePath("bin/mediaforgestudio-cli");
        QVERIFY(QFileInfo(link).isSymLink());
        Answer a = cli({"presets", "--format", "2"}, link);
        QCOMPARE(a.status, 0);
        QVERIFY(a.out.startsWith("Format 2: MP3\n"));
        QVERIFY(own.isEmpty() ? a.err.isEmpty() : a.err.contains(" is damaged (it is not a database); reading "));
        QCOMPARE(QFileInfo::exists(product.catalogue()), !own.isEmpty());
        QCOMPARE(readFile(product.catalogue()), own);
        QVERIFY(QFile::remove(prefix.filePath("share/mediaforgestudio/data.db")));
        a = cli({"presets"}, link);
        QCOMPARE(a.status, 1);
        QVERIFY2(a.err.contains(product.catalogue()) && a.err.contains(prefix.path()) && a.err.count('\n') == 1,
                 qPrintable(a.err));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
