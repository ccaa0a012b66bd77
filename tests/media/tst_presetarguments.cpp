#include "media/commandline.h"

#include <QtTest>

class TestPresetArguments : public QObject
{
    Q_OBJECT

private slots:
    void build_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("aspect");
        QTest::addColumn<QStringList>("expected");

        const QString box = "-s 320x240 -c:v libx264 -c:a aac";
        auto with = [](const QString &size) {
            return QStringList{"-s", size, "-c:v", "libx264", "-c:a", "aac"};
        };
        QTest::newRow("16:9 into 4:3 box") << box << "1280x720" << with("320x180");
        QTest::newRow("5:4 touches the height") << "-s 640x480" << "720x576" << QStringList{"-s", "600x480"};
        QTest::newRow("odd height rounded up") << box << "720x480" << with("320x214");
        QTest::newRow("same proportions") << box << "640x480" << with("320x240");
        QTest::newRow("no video gets -vn") << box << "" << with("320x240") + QStringList{"-vn"};
        QTest::newRow("-pix_fmt first, with video") << "-pix_fmt yuv420p -s 320x240" << "1280x720"
                                                     << QStringList{"-pix_fmt", "yuv420p", "-s", "320x240"};
        QTest::newRow("-pix_fmt first, no video") << "-pix_fmt yuv420p" << "" << QStringList{"-pix_fmt", "yuv420p"};
        QTest::newRow("-vn first") << "-vn -c:a libmp3lame" << "" << QStringList{"-vn", "-c:a", "libmp3lame"};
        QTest::newRow("-aspect never fitted") << "-s 320x240 -aspect 4:3" << "1280x720"
                                              << QStringList{"-s", "320x240", "-aspect", "4:3"};
        QTest::newRow("-aspect never gets -vn") << "-s 320x240 -aspect 4:3" << ""
                                                << QStringList{"-s", "320x240", "-aspect", "4:3"};
        QTest::newRow("empty tokens kept") << "-s 320x240  -b:v 1M" << "1280x720"
                                           << QStringList{"-s", "320x180", "", "-b:v", "1M"};
        // Forms the fitting can't use leave the list as it is.
        QTest::newRow("no second token") << "-s" << "1280x720" << QStringList{"-s"};
        QTest::newRow("empty preset") << "" << "1280x720" << QStringList{""};
        QTest::newRow("second token not WxH") << "-c:v libx264" << "1280x720" << QStringList{"-c:v", "libx264"};
        QTest::newRow("box height 0") << "-s 320x0" << "1280x720" << QStringList{"-s", "320x0"};
        QTest::newRow("input height 0") << "-s 320x240" << "1280x0" << QStringList{"-s", "320x240"};
        QTest::newRow("input not WxH") << "-s 320x240" << "1280" << QStringList{"-s", "320x240"};
        QTest::newRow("extreme proportions") << "-s 2147483647x2147483646" << "1x2147483647"
                                             << QStringList{"-s", "0x2147483646"};
    }

    void build()
    {
        QFETCH(QString, preset);
        QFETCH(QString, aspect);
        QFETCH(QStringList, expected);
        QCOMPARE(buildPresetArguments(preset, aspect), expected);
    }
};

QTEST_APPLESS_MAIN(TestPresetArguments)
#include "tst_presetarguments.moc"
