#include "media/commandline.h"

#include <QtTest>

class TestPresetArguments : public QObject
{
    Q_OBJECT

private slots:
    void build_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("aspect");  // the input's frame; empty: no video
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *preset, const char *aspect, const char *expected) {
            QTest::newRow(name) << QString(preset) << QString(aspect) << QString(expected);
        };
        row("16:9 into 4:3 box", "-s 320x240 -c:v libx264", "1280x720", "-s 320x180 -c:v libx264");
        row("5:4 touches the height", "-s 640x480", "720x576", "-s 600x480");
        row("odd height rounded up", "-s 320x240", "720x480", "-s 320x214");
        row("no video gets -vn", "-s 320x240 -c:v libx264", "", "-s 320x240 -c:v libx264 -vn");
        row("audio preset kept", "-vn -c:a libmp3lame", "", "-vn -c:a libmp3lame");
        row("-pix_fmt first kept", "-pix_fmt yuv420p -s 320x240", "1280x720", "-pix_fmt yuv420p -s 320x240");
        row("-aspect never fitted", "-s 320x240 -aspect 4:3", "1280x720", "-s 320x240 -aspect 4:3");
        row("-aspect never gets -vn", "-s 320x240 -aspect 4:3", "", "-s 320x240 -aspect 4:3");
        // Forms the fitting can't use leave the list as it is.
        row("no second token", "-s", "1280x720", "-s");
        row("second token not WxH", "-c:v libx264", "1280x720", "-c:v libx264");
        row("box height 0", "-s 320x0", "1280x720", "-s 320x0");
        row("input height 0", "-s 320x240", "1280x0", "-s 320x240");
        row("input not WxH", "-s 320x240", "1280", "-s 320x240");
        row("extreme proportions", "-s 2147483647x2147483646", "1x2147483647", "-s 0x2147483646");
    }

    void build()
    {
        QFETCH(QString, preset);
        QFETCH(QString, aspect);
        QFETCH(QString, expected);
        QCOMPARE(buildPresetArguments(preset, aspect), expected.split(' '));
    }
};

QTEST_APPLESS_MAIN(TestPresetArguments)
#include "tst_presetarguments.moc"
