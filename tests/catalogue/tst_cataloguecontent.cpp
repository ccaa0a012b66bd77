#include "media/droppablewidget.h"
#include "shipped.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <cmath>

using namespace Shipped;

namespace {

// H.264 Annex A limits: macroblocks per second, per frame, and the
// Baseline/Main bitrate in kbit/s (High allows 1.25 times that).
struct Level
{
    const char *name;
    int maxMbps, maxFs, maxBr;
};
const Level levels[] = {
    {"1.0", 1485, 99, 64},        {"1.1", 3000, 396, 192},      {"1.2", 6000, 396, 384},
    {"1.3", 11880, 396, 768},     {"2.0", 11880, 396, 2000},    {"2.1", 19800, 792, 4000},
    {"2.2", 20250, 1620, 4000},   {"3.0", 40500, 1620, 10000},  {"3.1", 108000, 3600, 14000},
    {"3.2", 216000, 5120, 20000}, {"4.0", 245760, 8192, 20000}, {"4.1", 245760, 8192, 50000},
    {"4.2", 522240, 8704, 50000}, {"5.0", 589824, 22080, 135000},
    {"5.1", 983040, 36864, 240000}, {"5.2", 2073600, 36864, 240000}};

const Level *findLevel(const QString &text)
{
    const QString name = text.contains('.') ? text : text + ".0";
    for (const Level &l : levels)
        if (name == l.name)
            return &l;
    return nullptr;
}

// "30", "30000/1001" -> frames per second; 0 when unreadable.
double rate(const QString &text)
{
    const QStringList p = text.split('/');
    const double num = p.at(0).toDouble();
    const double den = p.size() == 2 ? p.at(1).toDouble() : 1.0;
    return den > 0 ? num / den : 0;
}

int kbit(const QString &text)
{
    if (text.endsWith('k'))
        return text.chopped(1).toInt();
    if (text.endsWith('M'))
        return text.chopped(1).toInt() * 1000;
    return text.toInt() / 1000;
}

QStringList filterPatterns(const QString &filter)
{
    QStringList out;
    const QRegularExpression group("\\(([^)]*)\\)");
    for (auto it = group.globalMatch(filter); it.hasNext();)
        out += it.next().captured(1).split(' ', Qt::SkipEmptyParts);
    return out;
}

// Icons the interface itself shows next to the catalogue's own.
const QStringList interfaceIcons{"images/icons/cd.png", "images/icons/dvd-in.png",
                                 "images/icons/settings.png"};

} // namespace

class TestCatalogueContent : public QObject
{
    Q_OBJECT

private slots:
    // Audio, then video (the File menu uses them in that order). Whatever can
    // be dropped can also be picked in their dialogs, each extension under
    // one kind; CD tracks are refused on drop, so they are not offered.
    void addRowsCoverTheDropTarget()
    {
        const QList<AddRow> rows = addRows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).caption, QString("Audio"));
        QCOMPARE(rows.at(1).caption, QString("Video"));
        const QStringList audio = filterPatterns(rows.at(0).openFilter);
        const QStringList video = filterPatterns(rows.at(1).openFilter);
        DroppableWidget drop;
        QStringList accepted;
        for (const QString &ext : drop.acceptedExtensions())
            if (ext != "cda")
                accepted << "*." + ext;
        for (const QString &pattern : accepted)
            QVERIFY2(audio.contains(pattern) != video.contains(pattern),
                     qPrintable(pattern + " must be in exactly one of the filters"));
        for (const QString &pattern : audio + video)
            QVERIFY2(pattern == "*" || accepted.contains(pattern),
                     qPrintable(pattern + " is offered but not accepted on drop"));
    }

    void discFormatsHaveTheirFixedIds()
    {
        QCOMPARE(formatCaption(7), QString("DVD"));
        QSet<QString> kinds;
        for (const PresetRow &p : presetsOf(7)) {
            // The burner takes the standard from the caption's first word.
            const QString standard = p.caption.section(' ', 0, 0);
            QVERIFY2(standard == "PAL" || standard == "NTSC", qPrintable(p.caption));
            QCOMPARE(p.option("-target"), standard.toLower() + "-dvd");
            QCOMPARE(p.extension, QString("mpg"));
            QVERIFY(p.exactFrame());
            kinds << standard + " " + p.option("-aspect");
        }
        QCOMPARE(kinds, (QSet<QString>{"PAL 4:3", "PAL 16:9", "NTSC 4:3", "NTSC 16:9"}));

        QCOMPARE(formatCaption(36), QString("Audio CD"));
        const QList<PresetRow> cd = presetsOf(36);
        QCOMPARE(cd.size(), 1);
        QCOMPARE(cd.first().extension, QString("wav"));
    }

    // Every preset belongs to a listed row, and equal counts fall back to
    // default_pos, so a shared position would leave the first order to chance.
    void everyRowIsListedInAFixedOrder()
    {
        QSet<QString> seen;
        int devices = 0;
        for (const FormatRow &f : formatRows()) {
            QCOMPARE(f.count, 0);
            const QString key = QString("%1/%2").arg(f.device).arg(f.defaultPos);
            QVERIFY2(!seen.contains(key), qPrintable(f.caption + " shares its position"));
            seen << key << QString("id %1").arg(f.id);
            devices += f.device;
        }
        QVERIFY(devices >= 12);
        for (const PresetRow &p : presetRows()) {
            QCOMPARE(p.count, 0);
            QVERIFY2(seen.contains(QString("id %1").arg(p.format)),
                     qPrintable(QString("%1 is orphaned").arg(p.id)));
            const QString key = QString("%1:%2").arg(p.format).arg(p.defaultPos);
            QVERIFY2(!seen.contains(key), qPrintable(QString("%1 shares its place").arg(p.id)));
            seen << key;
        }
    }

    void presetForm_data()
    {
        QTest::addColumn<int>("id");
        for (const PresetRow &p : presetRows())
            QTest::addRow("%d %s: %s", p.id, qPrintable(formatCaption(p.format)),
                          qPrintable(p.caption))
                << p.id;
    }

    // The forms the fitting rule relies on.
    void presetForm()
    {
        QFETCH(int, id);
        PresetRow p;
        for (const PresetRow &row : presetRows())
            if (row.id == id)
                p = row;
        QVERIFY(!p.caption.isEmpty());
        QVERIFY(QRegularExpression("^[a-z0-9]+$").match(p.extension).hasMatch());
        for (const QString &t : p.tokens())
            QVERIFY2(!t.isEmpty() && t.trimmed() == t, qPrintable("stray space in: " + p.args));

        if (p.audioOnly()) {
            QVERIFY(p.option("-c:a").size() > 0);
            QVERIFY(!p.args.contains("-c:v"));
            return;
        }
        const QSize box = p.box();
        QVERIFY2(box.isValid(), qPrintable("no frame box: " + p.args));
        QVERIFY2(box.width() % 2 == 0 && box.height() % 2 == 0, qPrintable(p.args));
        if (!p.exactFrame()) {
            // Fitted: "-s WxH" leads; the rule replaces the second token.
            QCOMPARE(p.tokens().first(), QString("-s"));
        }
        // Named codecs, not the container's default of the day.
        QVERIFY(!p.option("-target").isEmpty()
                || (!p.option("-c:v").isEmpty() && !p.option("-c:a").isEmpty()));
    }

    void levelledPresetsStayInsideTheirLevel_data()
    {
        QTest::addColumn<int>("id");
        for (const PresetRow &p : presetRows())
            if (!p.option("-level").isEmpty())
                QTest::addRow("%d %s: %s", p.id, qPrintable(formatCaption(p.format)),
                              qPrintable(p.caption))
                    << p.id;
    }

    // A level is a promise to the device: the largest frame the box allows at
    // the highest rate the preset lets through must stay within it.
    void levelledPresetsStayInsideTheirLevel()
    {
        QFETCH(int, id);
        PresetRow p;
        for (const PresetRow &row : presetRows())
            if (row.id == id)
                p = row;
        QCOMPARE(p.option("-c:v"), QString("libx264"));
        const Level *level = findLevel(p.option("-level"));
        QVERIFY2(level, qPrintable("unknown level " + p.option("-level")));
        const QString cap = p.option("-fpsmax").isEmpty() ? p.option("-r") : p.option("-fpsmax");
        QVERIFY2(rate(cap) > 0, "a levelled preset must cap its frame rate");

        const QSize box = p.box();
        const int mbs = ((box.width() + 15) / 16) * ((box.height() + 15) / 16);
        QVERIFY2(mbs <= level->maxFs, qPrintable(QString("%1 macroblocks a frame").arg(mbs)));
        QVERIFY2(std::ceil(mbs * rate(cap)) <= level->maxMbps,
                 qPrintable(QString("%1 macroblocks a second").arg(mbs * rate(cap))));
        if (!p.option("-maxrate").isEmpty()) {
            const double factor = p.option("-profile:v") == "high" ? 1.25 : 1.0;
            QVERIFY(kbit(p.option("-maxrate")) <= level->maxBr * factor);
            QVERIFY(!p.option("-bufsize").isEmpty());
        }
    }

    // One picture per row, each in the resources and sized for a 92 x 98 tile
    // (centred 11 pixels from the top, caption below).
    void everyRowHasItsOwnIcon()
    {
        QStringList icons = interfaceIcons;
        for (const AddRow &r : addRows())
            icons << r.icon;
        for (const FormatRow &f : formatRows())
            icons << f.icon;
        for (const PresetRow &p : presetRows())
            icons << p.icon;
        QSet<QString> seen;
        for (const QString &icon : icons) {
            QVERIFY2(!seen.contains(icon), qPrintable(icon + " is used twice"));
            seen << icon;
            QVERIFY2(icon.startsWith("images/icons/"), qPrintable(icon));
            const QImage image(":/qml/" + icon);
            QVERIFY2(!image.isNull(), qPrintable(icon + " is not in the resources"));
            QVERIFY2(image.width() <= 92 && image.height() <= 60, qPrintable(icon));
            QVERIFY(image.hasAlphaChannel());
        }
    }

    void noIconIsLeftOver()
    {
        QSet<QString> named(interfaceIcons.cbegin(), interfaceIcons.cend());
        for (const AddRow &r : addRows())
            named << r.icon;
        for (const FormatRow &f : formatRows())
            named << f.icon;
        for (const PresetRow &p : presetRows())
            named << p.icon;
        int shipped = 0;
        for (QDirIterator it(":/qml/images/icons"); it.hasNext(); ++shipped) {
            const QString icon = it.next().mid(QString(":/qml/").size());
            QVERIFY2(named.contains(icon), qPrintable(icon + " ships but nothing shows it"));
        }
        QCOMPARE(shipped, named.size());
    }
};

QTEST_MAIN(TestCatalogueContent)
#include "tst_cataloguecontent.moc"
