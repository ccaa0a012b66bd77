#pragma once

#include <QPointer>
#include <QQuickWidget>
#include <QRect>
#include <QStringList>

class QAction;
class QMenu;
class QNetworkAccessManager;
class QNetworkReply;
class BurnDisc;
class DroppableWidget;
class FileInfoThread;
class JobStore;
class QSettings;
class RunController;
class ToolEngine;
class SelectCD;
class SelectDrive;
class SelectDVD;

// The one window, and the backend object the page reaches as `mainwnd`.
class MainWindow : public QQuickWidget
{
    Q_OBJECT
    // Folder paths handed to the page end with this; the page builds paths with it.
    Q_PROPERTY(QString separator READ separator CONSTANT)

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QString separator() const;
    DroppableWidget *dropTarget() const { return m_dropTarget; }
    FileInfoThread *probe() const { return m_probe; }
    QMenu *fileMenu() const { return m_fileMenu; }
    QMenu *helpMenu() const { return m_helpMenu; }
    JobStore *jobStore() const { return m_jobStore; }
    RunController *jobs() const { return m_jobs; }
    // Waits (bounded) for the running conversion to stop its converter.
    void stopWorkers();
    // What close() does when the user answers Yes, without asking, for an
    // end the user didn't ask for here (a signal): the page hears nothing
    // more, the run stops and its output goes, the temporary folder is
    // emptied, the job list stays saved for the next start.
    void endWithoutQuestion();

signals:
    void fileDropped(QStringList file);
    void fileInfoReady(QStringList fileInfo, QStringList fileVideoInfo, QStringList fileAudioInfo);
    void startConversion(QString outFileName);
    void conversionProgress(int time);
    void conversionComplete(bool quitOk, QString finalOutput, QString errorMsg);
    void conversionCancelled();
    void addAudioFile();
    void addVideoFile();
    void addAudioCD(QStringList filename);
    void addDVD(QStringList filename, QString length);
    void burnProgress(int progress);
    void burnTextStatus(QString status);
    void burnEstTime(QString time);

public slots:
    void changeDroppableSize();
    void exitAction();
    void aboutAction();
    void reportBugAction();
    void manualAction();
    void websiteAction();
    void updateAction();
    void doneHttp(bool error);
    void openCDRipper();
    void minimize();

public:
    Q_INVOKABLE void showMaximized();
    Q_INVOKABLE void showNormal();
    Q_INVOKABLE QStringList getAddModel();
    Q_INVOKABLE QStringList getDeviceModel();
    Q_INVOKABLE QStringList getFormatModel();
    Q_INVOKABLE QStringList getOutputModel(QString id);
    Q_INVOKABLE void incrementCount(int formatId, int outputId);
    Q_INVOKABLE void showMenu(int menu, int x);
    Q_INVOKABLE QStringList openInputFile(QString title, QString filter);
    // The files dialog for every input kind at once (Ctrl+O).
    Q_INVOKABLE QStringList openMediaFiles();
    Q_INVOKABLE QString openOutputFolder();
    Q_INVOKABLE QString selectCd();
    Q_INVOKABLE QString selectDvd();
    Q_INVOKABLE void getFileInfo(QString path);
    Q_INVOKABLE void startNewConversion(QString inFile, QString ffmpegArgs, QString aspect,
                                        QString outFile, QString outExt);
    Q_INVOKABLE void stopConversion();
    Q_INVOKABLE bool removeFile(QString path);
    Q_INVOKABLE void openFolder(QString path);
    Q_INVOKABLE void close();
    Q_INVOKABLE void warning(QString text);
    Q_INVOKABLE bool yesno(QString text);
    Q_INVOKABLE void changeCursor(int shape);
    Q_INVOKABLE void log(QString text);
    Q_INVOKABLE QString getTempFolder();
    Q_INVOKABLE QString getMusicFolder();
    Q_INVOKABLE QString getVideoFolder();
    Q_INVOKABLE void makeDir(QString path);
    Q_INVOKABLE QString selectBurnDisc(QString discType, int overallDuration);
    Q_INVOKABLE void startBurnDisc(QString discType, QString drive, QString desTemp,
                                   QString finalOutput);
    Q_INVOKABLE bool isCurrentDiscBlank(QString drive);
    Q_INVOKABLE void playDisc(QString);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;

private:
    void buildMenus();
    void runFinished(int done, int failed, bool cancelled);
    void directEnded(quint64 ticket, const QString &output);
    void startUpdateCheck();
    void emptyTempAndClose(const QStringList &entries);

    QWidget *m_parent = nullptr;
    DroppableWidget *m_dropTarget = nullptr;
    int m_pressX = 0;
    int m_pressY = 0;
    bool m_dragging = false;
    QStringList m_addModel;
    QStringList m_deviceModel;
    QStringList m_formatModel;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_addAudioAction = nullptr;
    QAction *m_addVideoAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_aboutAction = nullptr;
    QAction *m_manualAction = nullptr;
    QAction *m_websiteAction = nullptr;
    QAction *m_updateAction = nullptr;
    QAction *m_reportBugAction = nullptr;
    FileInfoThread *m_probe = nullptr;
    QRect m_normalGeometry;
    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_updateReply;
    bool m_automaticCheck = false;
    SelectCD *m_selectCd = nullptr;
    SelectDVD *m_selectDvd = nullptr;
    BurnDisc *m_burner = nullptr;
    SelectDrive *m_selectDrive = nullptr;
    JobStore *m_jobStore = nullptr;
    ToolEngine *m_engine = nullptr;
    RunController *m_jobs = nullptr;
    QSettings *m_settings = nullptr;
    // The conversion started by startNewConversion() while it goes, 0 else.
    quint64 m_directTicket = 0;
    quint64 m_lastDirectTicket = quint64(1) << 40;
    QString m_directOutput;
    // Output of a stopped conversion, removed again once the runner reports it.
};
