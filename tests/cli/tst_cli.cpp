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

#include <signal.h>
#include <unistd.h>

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
        QVERIFY(makeMedia(tone, "audio") && makeMedia(av, "av") && write(notes, "not media\n"));
        QVERIFY(QFile::copy(tone, media.filePath("locked.wav")));
        QVERIFY(QFile::copy(tone, media.filePath("tone.wav ")));
    }

    // Help, and every refusal: one line naming the fault, and nothing done.
    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        auto row = [](const char *name, const QStringList &args, int status, const QString &out,
                      const QString &err) { QTest::newRow(name) << args << status << out << err; };
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
        // Root reads any file, so only others can see this refusal.
        if (::geteuid() != 0 && QFile::setPermissions(media.filePath("locked.wav"), {}))
            row("unreadable", {"info", media.filePath("locked.wav")}, 2, "", "locked.wav: can't be read");
        row("not media", {"info", notes}, 1, "",
            "notes.txt: FFmpeg is unable to extract any valid video or audio stream from the input file notes.txt.\n");
    }
    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        ScratchProduct product;
        const QStringList before = filesBelow(media.path());
        const Answer a = cli(args);
        QCOMPARE(a.status, status);
        QVERIFY2(out.isEmpty() ? a.out.isEmpty() : a.out.contains(out), qPrintable(a.out));
        const bool oneLine = a.err.startsWith("mediaforgestudio-cli: ") && a.err.count('\n') == 1;
        QVERIFY2(err.isEmpty() ? a.err.isEmpty() : oneLine && a.err.contains(err), qPrintable(a.err));
        QCOMPARE(filesBelow(media.path()), before);
    }

    // The window's order, from a catalogue the listing never changes.
    void presets()
    {
        ScratchProduct product;
        Catalogue::open(product.catalogue());
        // Mostly FLAC, at its best.
        QVERIFY(QSqlQuery().exec("UPDATE tbl_FormatCategories SET count=5 WHERE id=14"));
        QVERIFY(QSqlQuery().exec("UPDATE tbl_OutputCategories SET count=3 WHERE id=1402"));
        QStringList windowOrder;
        const QStringList formats = Catalogue::formatModel();
        for (int i = 0; i < formats.size(); i += Catalogue::formatColumns)
            windowOrder << formats.at(i);
        Catalogue::close();
        const QByteArray before = contents(product.catalogue());

        const Answer json = cli({"presets", "--json"});
        QCOMPARE(json.status, 0);
        const QJsonObject doc = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QStringList order;
        for (const QJsonValue &format : doc["formats"].toArray())
            order << QString::number(format["id"].toInt());
        QCOMPARE(order, windowOrder);
        QCOMPARE(order.first(), "14");
        const QJsonObject best = doc["formats"][0]["presets"][0].toObject();
        QCOMPARE(best["id"].toInt(), 1402);

        const QStringList text = cli({"presets", "--format", "14"}).out.split('\n');
        QCOMPARE(text.first(), "Format 14: FLAC");
        const QString arguments = best["arguments"].toString();
        QVERIFY2(text.at(1).startsWith("  1402  Best ") && text.at(1).endsWith("  flac  " + arguments),
                 qPrintable(text.at(1)));
        QCOMPARE(contents(product.catalogue()), before);
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
        QCOMPARE(film["folder"].toString(), media.path() + "/");
        QCOMPARE(film["baseName"].toString(), "av");
        QCOMPARE(film["duration"].toString(), "00:00:03");
        QVERIFY(film["videoCodec"].toString().startsWith("h264"));
        QCOMPARE(film["frameSize"].toString(), "160x120");
        QVERIFY(film["audioCodec"].toString().startsWith("aac"));
        QCOMPARE(sound["frameSize"].toString(), "");
        QVERIFY(sound["audioCodec"].toString().startsWith("pcm_s16le"));
        QVERIFY(cli({"info", av}).out.startsWith(av + "\n  Name:       av.mkv\n"));
        QCOMPARE(QDir(product.temp()).entryList({"*.png"}), QStringList());
    }

    // Real conversions: names, folders, failures and what is left on disk.
    void convert_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("made");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        auto row = [](const char *name, const QStringList &options, const QStringList &existing,
                      const QStringList &inputs, const QStringList &made, int status, const QString &err) {
            QTest::newRow(name) << options << existing << inputs << made << status << err;
        };
        const QStringList wav{"tone.wav"};
        row("beside the input", {}, {}, wav, {"tone.flac"}, 0, "");
        row("never overwrites", {}, {"tone.flac", "tone (New).flac"}, wav, {"tone (New)(2).flac"}, 0, "");
        row("own arguments fail", {"--args", "-vn -map 0:a:1 -c:a flac"}, {}, wav, {}, 1,
            "tone.wav: To ignore this, add a trailing '?' to the map.\n");
        row("run goes on", {}, {}, {"notes.txt", "tone.wav"}, {"tone.flac"}, 1, "notes.txt: FFmpeg is unable");
        // Exactly the file named, beside one without the space.
        row("name ends in a space", {}, {"tone.wav"}, {"tone.wav "}, {"tone.flac"}, 0, "");
        // "a>b": a link a leading to b, left as it is; nothing goes through it.
        row("dangling link at the name", {}, {"tone.flac>out/tone.flac"}, wav, {"tone (New).flac"}, 0, "");
        row("link to where nothing can be", {}, {"tone.flac>gone/tone.flac"}, wav, {"tone (New).flac"}, 0, "");
    }
    void convert()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, made);
        QFETCH(int, status);
        QFETCH(QString, err);
        ScratchProduct product;
        const QByteArray catalogue = contents(product.catalogue());
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkdir("out"));
        QStringList args{"convert", "--preset", "1402"};
        for (const QString &option : options)
            args << (option == "out" ? work.filePath(option) : option);
        for (const QString &name : inputs) {
            QVERIFY(QFile::copy(media.filePath(name), work.filePath(name)));
            args << work.filePath(name);
        }
        QStringList links;
        for (const QString &name : existing) {
            if (name.contains('>')) {
                links << name.section('>', 0, 0);
                QVERIFY(QFile::link(work.filePath(name.section('>', 1)), work.filePath(links.last())));
            } else {
                QVERIFY(write(work.filePath(name), "keep"));
            }
        }
        existing.removeIf([](const QString &name) { return name.contains('>'); });

        const Answer a = cli(args);
        QCOMPARE(a.status, status);
        QString printed;
        for (const QString &name : made) {
            printed += work.filePath(name) + "\n";
            QCOMPARE(contents(work.filePath(name)).left(4), "fLaC");
        }
        QCOMPARE(a.out, printed);
        QStringList expected = inputs + existing + made;
        expected.sort();
        QCOMPARE(filesBelow(work.path()), expected);
        for (const QString &name : existing)
            QCOMPARE(contents(work.filePath(name)), "keep");
        for (const QString &name : links)
            QVERIFY(QFileInfo(work.filePath(name)).isSymLink());
        if (status == 0)
            QVERIFY2(a.err.endsWith(": " + QFileInfo(made.last()).fileName() + " 100%\n"), qPrintable(a.err));
        else
            QVERIFY2(a.err.contains(err), qPrintable(a.err));
        QCOMPARE(contents(product.catalogue()), catalogue);
    }

    // A stop ends the converter and removes its partial output.
    void stops_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl-C") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void stops()
    {
        QFETCH(int, signal);
        ScratchProduct product;
        QTemporaryDir work;
        StandIn ffmpeg("film", work.path());
        const QString input = work.filePath("film.mkv");
        QVERIFY(write(input, "film"));
        QProcess p;
        p.start(builtProgram, {"convert", "--preset", "104", input});
        // The name is claimed before the converter starts; it writes once it runs.
        QTRY_VERIFY(ffmpeg.alive() && contents(work.filePath("film.mp4")) == "partial\n");
        // Never kill(0): a command that has ended has no id, and 0 is the
        // whole process group, this test and ctest with it.
        QVERIFY(p.state() == QProcess::Running && p.processId() > 0);
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 128 + signal);
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
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 4; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(builtProgram, {"convert", "--preset", "203", "--output", out, input});
        }
        for (const auto &run : runs)
            QVERIFY(run->waitForFinished(15000) && run->exitCode() == 0);
        const QStringList names{"in (New)(2).mp3", "in (New)(3).mp3", "in (New).mp3", "in.mp3"};
        QCOMPARE(filesBelow(out), names);
        for (const QString &name : names)
            QVERIFY2(streams(out + "/" + name).startsWith("mp3 3."), qPrintable(streams(out + "/" + name)));
    }

    // Any name the file system holds converts, also in the C locale, and the
    // output keeps its bytes.
    void foreignNames_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::newRow("UTF-8 locale") << QByteArray("C.UTF-8");
        QTest::newRow("C locale") << QByteArray("C");
    }
    void foreignNames()
    {
        QFETCH(QByteArray, locale);
        ScratchProduct product;
        QTemporaryDir work;
        const QString input = work.filePath(latin1Name(".wav")), output = work.filePath(latin1Name(".flac"));
        QVERIFY(writeNamed(input, contents(tone)));
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
        QTest::addColumn<QByteArray>("video");
        QTest::addColumn<QString>("ownArgs");
        QTest::addColumn<QString>("sign");
        QTest::addColumn<QString>("name");
        const QByteArray pal = "h264 (High), yuv420p(progressive), 720x576 [SAR 1:1 DAR 5:4], 25 fps";
        QTest::newRow("fitted") << pal << "" << "450x360" << "clip";
        QTest::newRow("no video") << QByteArray() << "" << "-vn" << "clip";
        QTest::newRow("own arguments") << pal << "-s 320x240  -c:v mpeg4" << "300x240" << "clip";
        // The tool gets the input's bytes, and the output keeps them.
        QTest::newRow("name not UTF-8") << pal << "" << "450x360" << latin1Name("");
    }
    void sameArgumentsAsWindow()
    {
        using namespace PageDriver;
        QFETCH(QByteArray, video);
        QFETCH(QString, ownArgs);
        QFETCH(QString, sign);
        QFETCH(QString, name);
        ScratchProduct product;
        QTemporaryDir work;
        StandIn ffmpeg("film", work.path());
        qputenv("MFS_FAKE_VIDEO", video);
        const QString input = work.filePath(name + ".mkv"), output = work.filePath(name + ".mp4"),
                      argv = work.filePath("argv");
        QVERIFY(writeNamed(input, "clip") && write(work.filePath("go"), ""));
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
            if (!ownArgs.isEmpty())
                eval(window, "mainPage.ffmpegArgs = '" + ownArgs + "'");
            QVERIFY(click(window, "formatNext") && click(window, "convertButton"));
            QTRY_COMPARE(eval(window, "return mediaList.mediaListModel.get(0).currentStatus").toString(), "complete");
        }
        const QByteArray fromWindow = contents(argv);
        QVERIFY(QFile::remove(argv) && ::unlink(FileNames::encode(output).constData()) == 0);
        const QStringList own = ownArgs.isEmpty() ? QStringList() : QStringList{"--args", ownArgs};
        QCOMPARE(cli(QStringList{"convert", "--preset", "104"} + own + QStringList{input}).status, 0);
        qunsetenv("MFS_FAKE_VIDEO");
        QCOMPARE(contents(argv), fromWindow);
        ::unlink(FileNames::encode(output).constData());
        const QByteArrayList arguments = fromWindow.split('\n');
        QVERIFY(arguments.contains(sign.toUtf8()));
        QVERIFY(arguments.contains(FileNames::encode(input)) && arguments.contains(FileNames::encode(output)));
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
    void installedFallsBack_data()
    {
        QTest::addColumn<QByteArray>("own");
        QTest::newRow("no catalogue") << QByteArray();
        QTest::newRow("damaged") << QByteArray("junk");
    }
    void installedFallsBack()
    {
        QFETCH(QByteArray, own);
        ScratchProduct product(false);
        QVERIFY(own.isEmpty() || write(product.catalogue(), own));
        QTemporaryDir prefix;
        QProcess install;
        install.start(MFS_CMAKE, {"--install", MFS_BUILD_DIR, "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(60000) && install.exitCode() == 0);
        const QString link = prefix.filePath("bin/mediaforgestudio-cli");
        QVERIFY(QFileInfo(link).isSymLink());
        Answer a = cli({"presets", "--format", "2"}, link);
        QCOMPARE(a.status, 0);
        QVERIFY(a.out.startsWith("Format 2: MP3\n"));
        QVERIFY(own.isEmpty() ? a.err.isEmpty() : a.err.contains(" is damaged (it is not a database); reading "));
        QCOMPARE(QFileInfo::exists(product.catalogue()), !own.isEmpty());
        QCOMPARE(contents(product.catalogue()), own);
        QVERIFY(QFile::remove(prefix.filePath("share/mediaforgestudio/data.db")));
        a = cli({"presets"}, link);
        QCOMPARE(a.status, 1);
        QVERIFY2(a.err.contains(product.catalogue()) && a.err.contains(prefix.path()) && a.err.count('\n') == 1,
                 qPrintable(a.err));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
