#pragma once

#include <QMessageBox>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Every message box and file dialog of the program goes through here, so
// that tests can answer them without a user.
namespace Prompts {

struct Box {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QString informativeText;
    QPixmap iconPixmap;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QWidget *parent = nullptr;
};

using BoxHandler = std::function<QMessageBox::StandardButton(const Box &)>;
using OpenFilesHandler = std::function<QStringList(const QString &caption, const QString &folder,
                                                   const QString &filter)>;
using FolderHandler = std::function<QString(const QString &caption, const QString &folder)>;
using SaveFileHandler = std::function<QString(const QString &caption, const QString &folder,
                                              const QString &filter)>;

QMessageBox::StandardButton show(const Box &box);
QStringList openFiles(QWidget *parent, const QString &caption, const QString &folder,
                      const QString &filter);
QString existingFolder(QWidget *parent, const QString &caption, const QString &folder);
// The name of a file to write; "" when cancelled. The dialog asks before
// naming a file that exists.
QString saveFile(QWidget *parent, const QString &caption, const QString &folder,
                 const QString &filter);

// Shorthands for the program's fixed box kinds. A box with a parent opens
// centred on it (the dialog or window it is about).
void warning(const QString &text, QWidget *parent = nullptr, const QString &title = "Warning");
void critical(const QString &title, const QString &text, QWidget *parent = nullptr);
bool question(const QString &title, const QString &text,
              QMessageBox::Icon icon = QMessageBox::Question, QWidget *parent = nullptr);

// An empty handler restores the real dialogs.
void setBoxHandler(BoxHandler handler);
void setOpenFilesHandler(OpenFilesHandler handler);
void setFolderHandler(FolderHandler handler);
void setSaveFileHandler(SaveFileHandler handler);

} // namespace Prompts
