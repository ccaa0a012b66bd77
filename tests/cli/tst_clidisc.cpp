#include "burn/burnsupport.h"
#include "cd/cdimage.h"
#include "cli/clirun.h"
#include "disc/burn/cueimage.h"
#include "disc/cd/audiocd.h"
#include "disc/dvd/rippertext.h"
#include "media/mediasupport.h"

#include <QJsonDocument>
#include <QtTest>

#include <optional>

#include <sys/stat.h>

namespace {

const QString prefix = "mediaforgestudio-cli: ";

// Whether a process still runs with `text` in its command line.
bool anyProcessWith(const QString &text)
{
    for (const QString &pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs))
        if (readFile("/proc/" + pid + "/cmdline").replace('\0', ' ').contains(text.toUtf8()))
            return true;
    return false;
}

// Staging folders left in the temporary folder.
QStringList staging(const ScratchProduct &product)
{
    return QDir(product.temp()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

// A command run in an empty folder, and what it should leave.
struct Run {
    QStringList args;
    int status = 0;
    QString out = {};           // a part of standard output (JSON compacted); "" for none
    QString err = {};           // a part of the messages; "" for none
    QStringList made = {};      // files made in the folder
    QStringList existing = {};  // there before: "name>target" a link, "name/" a folder
    QString tools = {};         // the stand-ins' mode; "" for the machine's tools
};
Q_DECLARE_METATYPE(Run)

// A rip or burn stopped once it says it is `working`; what it says then.
struct Stop {
    QStringList args;
    QString tools, working, said;
};
Q_DECLARE_METATYPE(Stop)

// A CD image of tracks of 19, 40 and 1200 sectors, an enhanced CD (two audio
// tracks and a data track), a DVD of a 2 s and a 4 s title (each in its own
// title set) as a folder and an ISO labelled MOVIE, and a few inputs.
class TestCliDisc : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    CdImage album;
    const QList<int> lengths{19, 40, 1200};
    QString fixture(const QString &name) const { return dir.filePath(name); }

    // "%F/" names a fixture, "%W/" the working folder.
    QString expand(QString text, const QTemporaryDir &work) const
    {
        return text.replace("%F", dir.path()).replace("%W", work.path());
    }
    QStringList expand(QStringList args, const QTemporaryDir &work) const
    {
        return args.replaceInStrings("%F", dir.path()).replaceInStrings("%W", work.path());
    }

    // What stands in for the machine: "" nothing; "slow" or "full:NAME" a
    // write shim in the program (writes pause, or fail as on a full disk for
    // the file NAME); otherwise the disc-tool stand-ins in that mode
    // ("blank-dvd-r/2": two failed burns first; "blank-dvd-r//100": sector 100
    // of what the drive keeps spoilt).
    static bool standsIn(const QString &mode) { return !mode.isEmpty() && mode != "slow" && !mode.startsWith("full:"); }
    std::unique_ptr<ToolFolder> machine(const QString &mode) const
    {
        if (!standsIn(mode)) {
            qputenv("LD_PRELOAD", mode.isEmpty() ? QByteArray() : MFS_WRITE_SHIM);
            qputenv("MFS_FULL_FOR", mode.mid(5).toUtf8());
            qputenv("MFS_SLOW_WRITES", mode == "slow" ? "1" : "0");
            return {};
        }
        qputenv("MFS_FAKE_MODE", mode.section('/', 0, 0).toUtf8());
        qputenv("MFS_FAKE_FAILS", mode.section('/', 1, 1).toUtf8());
        qputenv("MFS_FAKE_CORRUPT", mode.section('/', 2, 2).toUtf8());
        qputenv("MFS_FAKE_SECONDS", "4500");
        return std::make_unique<ToolFolder>(QStringList{"dvd+rw-mediainfo", "growisofs", "mfs-cdstate", "cdrskin"},
                                            QStringList{"ffmpeg", "dvdauthor", "genisoimage"});
    }
    // With stand-ins, the program alone in a folder, so that the CD-state
    // tool beside the built one doesn't hide its stand-in.
    QString program(const QString &mode) const
    {
        return standsIn(mode) ? fixture("bin/mediaforgestudio-cli") : builtProgram;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkdir("bin") && QFile::copy(builtProgram, program("lone")));
        qputenv("ASAN_OPTIONS", "verify_asan_link_order=0:" + qgetenv("ASAN_OPTIONS"));
        album = makeCdImage(dir.path(), "album", lengths);
        // CD-TEXT from the sheet: the album and its band, two titled tracks, one by a guest.
        const CdImage named = makeCdImage(dir.path(), "named", {19, 40}, 1, "TITLE \"Album\"\nPERFORMER \"Band\"\n");
        QVERIFY(writeFile(named.cue, readFile(named.cue)
                                     .replace("TRACK 01 AUDIO\n", "TRACK 01 AUDIO\nTITLE \"Uno\"\n")
                                     .replace("TRACK 02 AUDIO\n", "TRACK 02 AUDIO\nTITLE \"Dos\"\nPERFORMER \"Guest\"\n")));
        makeCdImage(dir.path(), "enhanced", {41, 80}, 1, {}, "EXTRA");
        // The enhanced CD's data track alone.
        writeFile(fixture("dataonly.bin"), readFile(fixture("enhanced.bin")).mid(121 * 2352));
        writeFile(fixture("dataonly.cue"), "FILE \"dataonly.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n");
        writeFile(fixture("bad.cue"), "junk\n");
        // A .bin that ends before its one track starts.
        writeFile(fixture("tiny.bin"), "x");
        writeFile(fixture("tiny.cue"), "FILE \"tiny.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
        writeFile(fixture("notes.txt"), "not media\n");
        qputenv("VIDEO_FORMAT", "PAL");
        for (int t = 1; t <= 2; ++t) {
            const QString mpg = fixture(QString("t%1.mpg").arg(t));
            QVERIFY(ffmpeg({"-f", "lavfi", "-i", "color=size=720x576:rate=25", "-f", "lavfi", "-i", "sine", "-t",
                            QString::number(2 * t), "-target", "pal-dvd", "-aspect", "4:3", mpg}));
            QVERIFY(runTool("dvdauthor", {"-o", fixture("disc"), "-t", mpg}));
        }
        QVERIFY(runTool("dvdauthor", {"-o", fixture("disc"), "-T"}));
        QVERIFY(runTool("genisoimage",
                        {"-quiet", "-dvd-video", "-V", "MOVIE", "-o", fixture("movie.iso"), fixture("disc")}));
        // The image cut short before title 2's title set.
        const QByteArray iso = readFile(fixture("movie.iso"));
        QVERIFY(writeFile(fixture("cut.iso"), iso.left(iso.lastIndexOf("DVDVIDEO-VTS", iso.lastIndexOf("DVDVIDEO-VTS") - 1))));
        // A DVD tool that dies of a signal.
        QVERIFY(QDir(dir.path()).mkdir("crashing") && writeFile(fixture("crashing/ripper"), "#!/bin/sh\nkill -SEGV $$\n")
                && QFile::setPermissions(fixture("crashing/ripper"), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "sine", "-t", "1", fixture("tone.wav")}));
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "sine=r=44100", "-ac", "2", "-t", "2", fixture("cd.wav")}));
    }
    void cleanup()
    {
        for (const char *name : {"MFS_FAKE_MODE", "MFS_FAKE_FAILS", "MFS_FAKE_CORRUPT", "MFS_FAKE_SECONDS", "LD_PRELOAD"})
            qunsetenv(name);
    }

    // Each command's answer, messages and files, run in an empty folder.
    void commands_data()
    {
        const QStringList logged{"Track 1.wav", "Track 2.wav", "Track 3.wav", "rip.log"};
        const QString noAudio = "The disc image %F/%1.cue holds no audio tracks.";
        addRows<Run>("run", {
            {"no drives", {{"drives", "--json"}, 0, "[]"}},
            {"tracks", {{"cd-tracks", "%F/album.cue"}, 0, "%F/album.cue\n  Track 1    0:00     0 s  audio\n"
                "  Track 2    0:00     0 s  audio\n  Track 3    0:16    16 s  audio\n"}},
            // freedb by hand: two tracks starting in second 2, lasting 0 whole seconds.
            {"CD-TEXT and ids, JSON", {{"cd-tracks", "--json", "%F/named.cue"}, 0,
                "{\"freedb_id\":\"04000002\",\"musicbrainz_discid\":\""}},
            {"CD-TEXT track", {{"cd-tracks", "--json", "%F/named.cue"}, 0,
                "\"number\":2,\"performer\":\"Guest\",\"seconds\":0,\"title\":\"Dos\"}]}"}},
            {"missing image", {{"cd-tracks", "%F/none.cue"}, 2, "", "The disc image %F/none.cue cannot be found."}},
            // libcdio's own cause.
            {"malformed image", {{"rip-cd", "%F/bad.cue"}, 1, "",
                "%F/bad.cue cannot be read as a disc image: line 1: unrecognized keyword: junk."}},
            {"image without samples", {{"rip-cd", "%F/tiny.cue"}, 1, "", noAudio.arg("tiny")}},
            {"no audio", {{"cd-tracks", "%F/dataonly.cue"}, 1, "", noAudio.arg("dataonly")}},
            {"rip all", {{"rip-cd", "%F/album.cue"}, 0, "%W/Track 1.wav\n%W/Track 2.wav\n%W/Track 3.wav\n", "",
                logged}},
            {"rip audio only", {{"rip-cd", "%F/enhanced.cue"}, 0, "%W/Track 2.wav\n", "",
                logged.mid(0, 2) << "rip.log"}},
            {"rip some", {{"rip-cd", "--tracks", "3,1-1", "%F/album.cue", "--output", "%W/out"}, 0,
                "%W/out/Track 1.wav\n%W/out/Track 3.wav\n", "", {"out/Track 1.wav", "out/Track 3.wav", "out/rip.log"},
                {"out/"}}},
            {"disk full", {{"rip-cd", "%F/album.cue"}, 1, "%W/Track 1.wav\n%W/Track 3.wav\n", "Cannot extract track 2",
                {"Track 1.wav", "Track 3.wav", "rip.log"}, {}, "full:Track 2.wav"}},
            {"CD-TEXT names", {{"rip-cd", "%F/named.cue"}, 0, "%W/01 Uno.wav\n%W/02 Dos.wav\n", "",
                {"01 Uno.wav", "02 Dos.wav", "rip.log"}}},
            {"JSON per track", {{"rip-cd", "--json", "--tracks", "2", "%F/named.cue"}, 0,
                "\"file\":\"%W/02 Dos.wav\",\"number\":2,\"rereads\":0,\"unrecoverable\":0}", "",
                {"02 Dos.wav", "rip.log"}}},
            {"secure, offset, test and copy", {{"rip-cd", "--mode", "secure", "--offset", "0", "--test-and-copy",
                "--tracks", "3", "%F/album.cue"}, 0, "%W/Track 3.wav\n", "", {"Track 3.wav", "rip.log"}}},
            {"bad mode", {{"rip-cd", "--mode", "slow", "%F/album.cue"}, 2, "", "--mode takes fast or secure"}},
            {"offset too far", {{"rip-cd", "--offset", "9999", "%F/album.cue"}, 2, "", "--offset takes samples"}},
            {"WAVs kept without a preset", {{"rip-cd", "--keep-wav", "%F/album.cue"}, 2, "",
                "--keep-wav goes with --preset"}},
            {"rip log taken", {{"rip-cd", "%F/album.cue"}, 2, "", "%W/rip.log already exists", {}, {"rip.log"}}},
            // A name anything holds is taken, a link that leads nowhere too.
            {"link at a name", {{"rip-cd", "%F/album.cue"}, 2, "", "%W/Track 2.wav already exists; nothing was ripped",
                {}, {"elsewhere/", "Track 2.wav>elsewhere/x.wav"}}},
            {"bad list", {{"rip-cd", "%F/album.cue", "--tracks", "2-1"}, 2, "", "bad --tracks list \"2-1\""}},
            {"no such track", {{"rip-cd", "%F/album.cue", "--tracks", "1,9"}, 2, "",
                "there is no track 9 (the disc has 3)"}},
            {"data not ripped", {{"rip-cd", "%F/enhanced.cue", "--tracks", "3"}, 2, "",
                "track 3 holds data, not audio"}},
            {"no output folder", {{"rip-cd", "%F/album.cue", "--output", "%W/none"}, 2, "", "%W/none: no such folder"}},
            {"titles", {{"dvd-titles", "%F/disc/VIDEO_TS"}, 0, "%F/disc/VIDEO_TS disc\n  Title 1    00:00:02\n"
                "  Title 2    00:00:04  longest\n"}},
            {"titles, JSON", {{"dvd-titles", "--json", "%F/movie.iso"}, 0, "{\"label\":\"MOVIE\",\"source\":"
                "\"%F/movie.iso\",\"titles\":[{\"length\":\"00:00:02\",\"longest\":false,\"milliseconds\":2000"}},
            {"not a DVD", {{"dvd-titles", "%F/album.cue"}, 1, "",
                "No DVD titles were found in %F/album.cue. ripper: "}},
            {"ISO cut short", {{"dvd-titles", "%F/cut.iso"}, 1, "",
                "Cannot read the titles of %F/cut.iso: ripper: cannot read the information of title 2"}},
            {"DVD tool crashes", {{"rip-dvd", "%F/disc"}, 1, "", "Cannot read the titles of %F/disc: "
                "the DVD's structure is damaged: ripper crashed reading it.", {}, {}, "crashing ripper"}},
            {"name taken by a dangling link", {{"rip-dvd", "%F/disc", "--titles", "1"}, 2, "",
                "%W/disc_Title_1.vob already exists; nothing was ripped", {},
                {"other/", "disc_Title_1.vob>other/disc_Title_1.vob"}}},
            {"rip longest", {{"rip-dvd", "%F/movie.iso"}, 0, "%W/MOVIE_Title_2.vob\n", "", {"MOVIE_Title_2.vob"}}},
            {"rip titles", {{"rip-dvd", "%F/disc", "--titles", "1-2"}, 0,
                "%W/disc_Title_1.vob\n%W/disc_Title_2.vob\n", "", {"disc_Title_1.vob", "disc_Title_2.vob"}}},
            {"no such title", {{"rip-dvd", "%F/disc", "--titles", "3"}, 2, "", "there is no title 3 (the DVD has 2)"}},
            {"no such drive", {{"rip-dvd", "/dev/sr9"}, 2, "", "there is no drive /dev/sr9"}},
            {"no files", {{"burn-cd", "%W/mix.cue"}, 2, "", "burn-cd: missing FILE"}},
            {"bad standard", {{"burn-dvd", "--standard", "SECAM", "%W/a.iso", "%F/t1.mpg"}, 2, "", "not SECAM"}},
            {"bad gap", {{"burn-cd", "--gap", "1", "%W/a.cue", "%F/cd.wav"}, 2, "", "--gap is 0 or 2 seconds, not 1"}},
            {"image of another kind", {{"burn-dvd", "%W/a.cue", "%F/t1.mpg"}, 2, "", "a DVD image is an .iso file"}},
            {"link at the image's name", {{"burn-cd", "%W/a.cue", "%F/cd.wav"}, 2, "", "%W/a.bin already exists", {},
                {"a.bin>gone.bin"}}},
            // Files of the user's that look like ours are left as they were.
            {"leftover DVD part", {{"burn-dvd", "%W/movie.iso", "%F/t1.mpg"}, 0, "%W/movie.iso\n", "", {"movie.iso"},
                {"movie.iso.part"}}},
            {"leftover CD parts", {{"burn-cd", "%W/mix.cue", "%F/cd.wav"}, 0, "%W/mix.cue\n%W/mix.bin\n", "",
                {"mix.cue", "mix.bin"}, {"mix.cue.part", "other.wav", "mix.bin.part>other.wav"}}},
            {"image on a full disk", {{"burn-cd", "%W/mix.cue", "%F/cd.wav"}, 1, "",
                "Burn Failed: The CD image can't be written: No space left on device.", {}, {}, "full:mix.bin"}},
            {"line break in the image's name", {{"burn-cd", "%W/mi\nx.cue", "%F/cd.wav"}, 2, "",
                "may not contain line breaks"}},
            {"folder as target", {{"burn-dvd", "%W", "%F/t1.mpg"}, 2, "", "%W is not a drive"}},
            {"not media", {{"burn-cd", "%W/a.cue", "%F/cd.wav", "%F/notes.txt"}, 1, "", "burn-cd: %F/notes.txt: FFmpeg "
                "is unable to extract any valid video or audio stream from the input file notes.txt.\n" + prefix
                + "burn-cd: nothing was burned"}},
            {"no CD writer", {{"burn-cd", "/dev/sr9", "%F/cd.wav"}, 1, "", "No CD writer answers at /dev/sr9."}},
            {"DVD not blank", {{"burn-dvd", "/dev/sr9", "%F/t1.mpg"}, 1, "",
                "Please insert a blank DVD into the selected drive", {}, {}, "appendable-dvd-r"}},
            {"CD not blank", {{"burn-cd", "/dev/sr9", "%F/cd.wav"}, 1, "", "The CD in drive /dev/sr9 is not blank",
                {}, {}, "full"}},
            // "%D/" names the stand-ins' folder, where their drive keeps what it burns.
            {"DVD burned", {{"burn-dvd", "%D/sr9", "%F/t1.mpg"}, 0, "Burn Complete\n", "", {}, {}, "blank-dvd-r"}},
            {"CD burned", {{"burn-cd", "%D/sr9.bin", "%F/cd.wav"}, 0, "Burn Complete\n", "", {}, {}, "blank"}},
            {"DVD reads back wrong", {{"burn-dvd", "%D/sr9", "%F/t1.mpg"}, 1, "", "burn-dvd: Verification failed: "
                "the disc differs from its image at sector 100", {}, {}, "blank-dvd-r//100"}},
            {"CD track spoilt", {{"burn-cd", "--gap", "2", "%D/sr9.bin", "%F/cd.wav"}, 1, "",
                "burn-cd: Verification failed: track 1 differs", {}, {}, "blank//100"}},
            {"not read back", {{"burn-dvd", "--no-verify", "%D/sr9", "%F/t1.mpg"}, 0, "Burn Complete\n", "", {}, {},
                "blank-dvd-r//100"}},
            {"burn fails", {{"burn-dvd", "/dev/sr9", "%F/t1.mpg"}, 1, "",
                "Burn Failed: :-( write failed: Input/output error", {}, {}, "blank-dvd-r/3"}},
        });
    }
    void commands()
    {
        QFETCH(Run, run);
        ScratchProduct product;
        QTemporaryDir work;
        QStringList files = run.made;
        for (const QString &name : run.existing) {
            const QString at = work.filePath(name.section('>', 0, 0));
            QVERIFY(name.contains('>') ? QFile::link(name.section('>', 1), at)
                    : name.endsWith('/') ? QDir(work.path()).mkdir(name) : writeFile(at, "keep"));
            if (!name.endsWith('/'))
                files << name.section('>', 0, 0);
        }
        const auto standIns = machine(run.tools);
        std::optional<PathPrefix> crashing;
        if (run.tools == "crashing ripper")
            crashing.emplace(fixture("crashing"));
        if (standIns)
            run.args.replaceInStrings("%D", standIns->path());
        const Answer a = cli(expand(run.args, work), program(run.tools), work.path());
        QCOMPARE(a.status, run.status);
        const QByteArray json = QJsonDocument::fromJson(a.out.toUtf8()).toJson(QJsonDocument::Compact);
        const bool isJson = run.out.startsWith('{') || run.out.startsWith('[') || run.out.startsWith('"');
        const QString printed = isJson ? json : a.out;
        QVERIFY2(run.out.isEmpty() ? a.out.isEmpty() : printed.contains(expand(run.out, work)), qPrintable(a.out));
        // Our own messages, without the progress lines.
        const QString messages = a.err.split('\n').filter(QRegularExpression("^" + prefix)).join('\n');
        QVERIFY2(run.err.isEmpty() ? messages.isEmpty() : messages.contains(expand(run.err, work)), qPrintable(a.err));
        files.sort();
        QCOMPARE(filesBelow(work.path()), files);
        // What was there stays as it was: files keep their bytes, links their target.
        for (const QString &name : run.existing.filter(QRegularExpression("[^/]$"))) {
            const QString path = work.filePath(name.section('>', 0, 0));
            QVERIFY2(name.contains('>') ? QFile::symLinkTarget(path) == work.filePath(name.section('>', 1))
                                        : readFile(path) == "keep", qPrintable(name));
        }
        for (const QString &name : run.made) {
            const QString path = work.filePath(name);
            const int track = name.section(' ', 1).section('.', 0, 0).toInt();
            if (name.contains("Track") && run.args.contains("%F/album.cue"))
                QCOMPARE(readFile(path).mid(44), album.track(track - 1, lengths.at(track - 1)));
            else if (name.endsWith(".vob"))
                QCOMPARE(readFile(path), readFile(fixture("disc/VIDEO_TS/VTS_0" + name.right(5).left(1) + "_1.VOB")));
        }
        QCOMPARE(staging(product), QStringList());
    }

    // Images, read back by the program's own readers: an audio CD's tracks in
    // the order given, one converted and one taken as it is; a DVD of one
    // title as long as a ready MPEG-2 file and a converted sound together.
    void burnsToImages_data()
    {
        addRows<QStringList>("inputs", {{"audio CD", {"mix.cue", "tone.wav", "cd.wav"}},
                                        {"DVD", {"trip.iso", "t1.mpg", "tone.wav"}}});
    }
    void burnsToImages()
    {
        QFETCH(QStringList, inputs);
        ScratchProduct product;
        QTemporaryDir work;
        const QString image = inputs.takeFirst(), path = work.filePath(image);
        const bool audio = image.endsWith(".cue");
        QStringList args{audio ? "burn-cd" : "burn-dvd", path};
        for (const QString &input : inputs)
            args << fixture(input);
        const QByteArray ready = readFile(fixture(inputs.last()));
        const Answer a = cli(args);
        QCOMPARE(a.status, 0);
        QCOMPARE(a.out, path + "\n" + (audio ? work.filePath("mix.bin") + "\n" : ""));
        QVERIFY2(a.err.endsWith("Image written: " + image + ", verified 100%\n"), qPrintable(a.err));
        QCOMPARE(readFile(fixture(inputs.last())), ready);
        if (audio) {
            CAudioCD cd(path);
            QCOMPARE(cd.trackCount(), 2);
            QCOMPARE(cd.trackSeconds(0), 1);
            QFile wav(fixture("cd.wav"));
            CueImage::Payload payload;
            QString error;
            QByteArray track;
            QVERIFY(wav.open(QIODevice::ReadOnly) && CueImage::wavPayload(wav, &payload, &error));
            QVERIFY(cd.readTrack(1, track));
            QCOMPARE(track.left(payload.size), ready.mid(payload.offset, payload.size));
        } else {
            const DvdTitles titles = parseDvdListing(Tools::run(MFS_TEST_BIN "/ripper", {path}).out);
            QCOMPARE(titles.lengths.size(), 1);
            QVERIFY2(qAbs(titles.lengths.first() - 3000) < 300, qPrintable(QString::number(titles.lengths.first())));
        }
        QCOMPARE(staging(product), QStringList());
    }

    // Images, folders and files whose names are not UTF-8 rip and burn.
    void foreignNames()
    {
        ScratchProduct product;
        QTemporaryDir work;
        const QString folder = work.filePath(latin1Name(""));
        QVERIFY(::mkdir(FileNames::encode(folder).constData(), 0777) == 0);
        QVERIFY(writeNamed(folder + "/" + latin1Name(".cue"), readFile(fixture("album.cue")))
                && writeNamed(folder + "/" + latin1Name(".bin"), readFile(fixture("album.bin")))
                && writeNamed(folder + "/" + latin1Name(".iso"), readFile(fixture("movie.iso")))
                && writeNamed(folder + "/" + latin1Name(".wav"), readFile(fixture("tone.wav"))));
        const QString ripped = folder + "/Track 1.wav", title = folder + "/MOVIE_Title_1.vob",
                      image = folder + "/" + latin1Name(" mix.cue");
        const Answer cd = cli({"rip-cd", folder + "/" + latin1Name(".cue"), "--tracks", "1", "--output", folder});
        QVERIFY2(cd.status == 0 && cd.out == ripped + "\n", qPrintable(cd.out + cd.err));
        QCOMPARE(FileNames::size(ripped), qint64(44 + lengths.at(0) * 2352));
        const Answer dvd = cli({"rip-dvd", folder + "/" + latin1Name(".iso"), "--titles", "1", "--output", folder});
        QVERIFY2(dvd.status == 0 && dvd.out == title + "\n", qPrintable(dvd.out + dvd.err));
        const Answer burn = cli({"burn-cd", image, folder + "/" + latin1Name(".wav")});
        QVERIFY2(burn.status == 0 && burn.out.startsWith(image + "\n"), qPrintable(burn.out + burn.err));
        QCOMPARE(CAudioCD(image).trackCount(), 1);
        // Qt's own removal can't see such names.
        QVERIFY(Tools::run("rm", {"-r", folder}).ok());
    }

    // A burn killed outright leaves its staging folder. The next burn removes
    // it, and every other whose owner is gone, even when the owner's process
    // id now belongs to another process; the rest stays.
    void sweepsStagingOfKilledBurns()
    {
        ScratchProduct product;
        QTemporaryDir work;
        const auto standIns = machine("blank-dvd-r");
        QProcess killed;
        killed.start(program("blank-dvd-r"), {"burn-dvd", "/dev/sr9", fixture("t2.mpg")});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += killed.readAllStandardError()).contains("Calculating time remaining"), 20000);
        killed.kill();
        QVERIFY(killed.waitForFinished(10000));
        QCOMPARE(staging(product).size(), 1);
        const QString self = QString::number(QCoreApplication::applicationPid());
        // This process's start time, field 22 of its stat record.
        const QByteArray stat = readFile("/proc/self/stat");
        const QString started = stat.mid(stat.lastIndexOf(')') + 2).split(' ').value(19);
        const QString never = QString(readFile("/proc/sys/kernel/pid_max")).trimmed();
        QStringList kept{".burn-" + self + "-" + started + "-aaaaaa", ".burn-aaaaaa", "1371000000"};
        for (const QString &name : kept + QStringList{".burn-" + never + "-1-aaaaaa", ".burn-" + self + "-1-bbbbbb"})
            QVERIFY(writeFile(product.temp() + name + "/a.wav"));
        // A link in a folder that goes is removed as a link.
        QVERIFY(writeFile(work.filePath("mine.wav"), "keep"));
        QVERIFY(QFile::link(work.filePath("mine.wav"), product.temp() + ".burn-" + never + "-1-aaaaaa/mine.wav"));
        QCOMPARE(cli({"burn-cd", work.filePath("a.cue"), fixture("notes.txt")}, program("blank-dvd-r")).status, 1);
        kept.sort();
        QCOMPARE(staging(product), kept);
        QCOMPARE(readFile(work.filePath("mine.wav")), "keep");
    }

    // --preset: the ripped tracks converted into the album's folder, tagged
    // from the disc's CD-TEXT, with the rip log; the WAVs kept on request.
    void ripsAndConverts_data() { addRows<bool>("keep", {{"WAVs go", false}, {"WAVs kept", true}}); }
    void ripsAndConverts()
    {
        QFETCH(bool, keep);
        ScratchProduct product;
        QTemporaryDir work;
        QStringList args{"rip-cd", fixture("named.cue"), "--preset", "203", "--output", work.path()};
        const Answer a = cli(keep ? args << "--keep-wav" : args);
        QVERIFY2(a.status == 0, qPrintable(a.err));
        const QString folder = "Band - Album/";
        const QStringList wavs = keep ? QStringList{"01 Uno.wav", "02 Dos.wav"} : QStringList();
        QStringList outputs = wavs + QStringList{folder + "01 Uno.mp3", folder + "02 Dos.mp3"};
        QStringList files = outputs + QStringList{folder + "rip.log"} + (keep ? QStringList{"rip.log"} : QStringList());
        files.sort();
        QCOMPARE(filesBelow(work.path()), files);
        // The conversions run at once, and end in either order.
        QStringList printed = a.out.split('\n', Qt::SkipEmptyParts);
        std::sort(printed.begin() + wavs.size(), printed.end());
        for (QString &output : outputs)
            output = work.filePath(output);
        QCOMPARE(printed, outputs);
        const QStringList probe{"-v", "error", "-show_entries", "format_tags=title,artist,album,track",
                                "-of", "compact=p=0:nk=1", work.filePath(folder + "02 Dos.mp3")};
        QStringList tags = QString(Tools::run("ffprobe", probe).out).trimmed().split('|');
        tags.sort();
        QCOMPARE(tags, QStringList({"2", "Album", "Dos", "Guest"}));
        QCOMPARE(staging(product), QStringList());
    }

    // Ctrl-C at work: the rip or burn stops, no partial file and no tool is left.
    void stops_data()
    {
        addRows<Stop>("stop", {
            {"CD rip", {{"rip-cd", "%F/album.cue", "--tracks", "3"}, "slow", "Ripping track 1 of 1",
                        "stopped; Track 3.wav was not ripped"}},
            {"DVD rip", {{"rip-dvd", "%F/movie.iso"}, "slow", "Ripping title 1 of 1",
                         "stopped; MOVIE_Title_2.vob was not ripped"}},
            {"burn", {{"burn-dvd", "/dev/sr9", "%F/t2.mpg"}, "blank-dvd-r", "Calculating time remaining",
                      "stopped; the burn was broken off; the disc in /dev/sr9 may be unusable"}},
        });
    }
    void stops()
    {
        QFETCH(Stop, stop);
        ScratchProduct product;
        QTemporaryDir work;
        const auto standIns = machine(stop.tools);
        QProcess p;
        p.setWorkingDirectory(work.path());
        p.start(program(stop.tools), expand(stop.args, work));
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += p.readAllStandardError()).contains(stop.working.toUtf8()), 20000);
        QCOMPARE(interrupt(p), 130);
        err += p.readAllStandardError();
        QVERIFY2(err.endsWith((prefix + stop.args.first() + ": " + stop.said + "\n").toUtf8()), err.constData());
        QCOMPARE(filesBelow(work.path()), QStringList());
        QCOMPARE(staging(product), QStringList());
        QVERIFY(!anyProcessWith(work.path()) && !anyProcessWith(product.appData()));
    }
};

QTEST_MAIN(TestCliDisc)
#include "tst_clidisc.moc"
