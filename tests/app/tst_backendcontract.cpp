// The page reaches the backend only through `mainwnd`; its handlers bind to
// signal parameters by name, so names, order and arguments are checked here.
#include "app/mainwindow.h"

#include <QMetaMethod>
#include <QtTest>

class TestBackendContract : public QObject
{
    Q_OBJECT

private:
    static QStringList declared(QMetaMethod::MethodType type, bool invokableOnly = false)
    {
        const QMetaObject &mo = MainWindow::staticMetaObject;
        QStringList list;
        for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
            const QMetaMethod m = mo.method(i);
            if (m.methodType() != type || m.access() != QMetaMethod::Public)
                continue;
            if (invokableOnly && m.methodType() != QMetaMethod::Method)
                continue;
            QStringList params;
            for (int p = 0; p < m.parameterCount(); ++p)
                params << QString(m.parameterTypeName(p) + " " + m.parameterNames().at(p)).trimmed();
            QString entry = QString(m.name()) + "(" + params.join(", ") + ")";
            if (m.returnType() != QMetaType::Void)
                entry = QString(m.typeName()) + " " + entry;
            list << entry;
        }
        return list;
    }

private slots:
    void signalsWithParameterNames()
    {
        QCOMPARE(declared(QMetaMethod::Signal),
                 (QStringList{
                     "fileDropped(QStringList file)",
                     "fileInfoReady(QStringList fileInfo, QStringList fileVideoInfo, QStringList fileAudioInfo)",
                     "startConversion(QString outFileName)",
                     "conversionProgress(int time)",
                     "conversionComplete(bool quitOk, QString finalOutput, QString errorMsg)",
                     "conversionCancelled()",
                     "addAudioFile()",
                     "addVideoFile()",
                     "addAudioCD(QStringList filename)",
                     "addDVD(QStringList filename, QString length)",
                     "burnProgress(int progress)",
                     "burnTextStatus(QString status)",
                     "burnEstTime(QString time)",
                 }));
    }

    void publicSlots()
    {
        QCOMPARE(declared(QMetaMethod::Slot),
                 (QStringList{"changeDroppableSize()", "exitAction()", "aboutAction()",
                              "reportBugAction()", "manualAction()", "websiteAction()",
                              "updateAction()", "doneHttp(bool error)", "openCDRipper()",
                              "minimize()"}));
    }

    void invokableOperations()
    {
        QCOMPARE(declared(QMetaMethod::Method),
                 (QStringList{
                     "showMaximized()",
                     "showNormal()",
                     "QStringList getAddModel()",
                     "QStringList getDeviceModel()",
                     "QStringList getFormatModel()",
                     "QStringList getOutputModel(QString id)",
                     "incrementCount(int formatId, int outputId)",
                     "showMenu(int menu, int x)",
                     "QStringList openInputFile(QString title, QString filter)",
                     "QString openOutputFolder()",
                     "QString selectCd()",
                     "QString selectDvd()",
                     "getFileInfo(QString path)",
                     "startNewConversion(QString inFile, QString ffmpegArgs, QString aspect, QString outFile, QString outExt)",
                     "stopConversion()",
                     "bool removeFile(QString path)",
                     "openFolder(QString path)",
                     "close()",
                     "warning(QString text)",
                     "bool yesno(QString text)",
                     "changeCursor(int shape)",
                     "log(QString text)",
                     "QString getTempFolder()",
                     "QString getMusicFolder()",
                     "QString getVideoFolder()",
                     "makeDir(QString path)",
                     "QString selectBurnDisc(QString discType, int overallDuration)",
                     "startBurnDisc(QString discType, QString drive, QString desTemp, QString finalOutput)",
                     "bool isCurrentDiscBlank(QString drive)",
                     "playDisc(QString)",
                 }));
    }
};

QTEST_MAIN(TestBackendContract)
#include "tst_backendcontract.moc"
