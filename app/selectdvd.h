#pragma once

#include "app/ripdialog.h"

class DVDRipThread;

// "Rip from DVD": the optical drives (and any DVD folder or image the user
// opens), the chosen disc's titles with their lengths, and the rip.
class SelectDVD : public RipDialog
{
    Q_OBJECT
public:
    explicit SelectDVD(QWidget *parent = nullptr);
    ~SelectDVD() override;

    // Item data of a drive entry: what ripper reads, and the files' name part.
    enum Role { SourceRole = Qt::UserRole, LabelRole };

    void scanDrives();
    void listTitles(const QString &drive);
    // For a program that is ending: a rip still going ends, its tool and
    // cut-off title with it, and nothing of it reaches the list or a box.
    void stopRip();
    DVDRipThread *ripThread() const { return m_ripThread; }
    QPushButton *openFolderButton() const { return m_openFolder; }

signals:
    void addDVD(QStringList filename, QString length);

public slots:
    void onSelectNone();
    void onSelectAll();
    void onComboChanged(QString text);
    void onOK();
    void onCancel();
    void ripStarted(int count);
    void ripTitleStarted(int number);
    void updateProgress(int percent);
    void ripTitleFinished(QString path, QString length);
    void onComplete();
    void ripError(QString message);
    int exec() override;

protected:
    // Escape cancels like the Cancel button.
    void reject() override;

private:
    void openImage();
    void openFolder();
    // A chosen folder or image becomes a drive entry of its own and is listed.
    void chooseSource(const QString &path);
    int addSource(const QString &source, const QString &label);
    void enableControls(bool enabled);
    void endRip();

    DVDRipThread *m_ripThread;
    QPushButton *m_openFolder;
    int m_itemCount = 0;
    // Folders and images opened in this session.
    QStringList m_opened;
    // Why the last listing gave no titles, with what the tool or drive said;
    // shown under the list, and as a warning about a chosen source.
    QString m_listingProblem;
};
