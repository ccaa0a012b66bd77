#include "platform/prompts.h"

#include <QFileDialog>

namespace Prompts {

namespace {

// The handler of each kind of question that tests have put in place.
template<typename Handler>
Handler &installed()
{
    static Handler h;
    return h;
}

} // namespace

QMessageBox::StandardButton show(const Box &box)
{
    if (installed<BoxHandler>())
        return installed<BoxHandler>()(box);
    QMessageBox mb(box.icon, box.title, box.text, box.buttons, box.parent);
    if (!box.informativeText.isEmpty())
        mb.setInformativeText(box.informativeText);
    if (!box.iconPixmap.isNull())
        mb.setIconPixmap(box.iconPixmap);
    const int answer = mb.exec();
    // A box closed without a button counts as its escape answer.
    return static_cast<QMessageBox::StandardButton>(answer);
}

QStringList openFiles(QWidget *parent, const QString &caption, const QString &folder,
                      const QString &filter)
{
    if (installed<OpenFilesHandler>())
        return installed<OpenFilesHandler>()(caption, folder, filter);
    return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
}

QString existingFolder(QWidget *parent, const QString &caption, const QString &folder)
{
    if (installed<FolderHandler>())
        return installed<FolderHandler>()(caption, folder);
    return QFileDialog::getExistingDirectory(parent, caption, folder,
                                             QFileDialog::ShowDirsOnly);
}

QString saveFile(QWidget *parent, const QString &caption, const QString &folder,
                 const QString &filter)
{
    if (installed<SaveFileHandler>())
        return installed<SaveFileHandler>()(caption, folder, filter);
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

void warning(const QString &text, QWidget *parent, const QString &title)
{
    show({QMessageBox::Warning, title, text, {}, {}, QMessageBox::Ok, parent});
}

void critical(const QString &title, const QString &text, QWidget *parent)
{
    show({QMessageBox::Critical, title, text, {}, {}, QMessageBox::Ok, parent});
}

bool question(const QString &title, const QString &text, QMessageBox::Icon icon, QWidget *parent)
{
    return show({icon, title, text, {}, {}, QMessageBox::Yes | QMessageBox::No, parent})
           == QMessageBox::Yes;
}

void setBoxHandler(BoxHandler handler)
{
    installed<BoxHandler>() = std::move(handler);
}

void setOpenFilesHandler(OpenFilesHandler handler)
{
    installed<OpenFilesHandler>() = std::move(handler);
}

void setFolderHandler(FolderHandler handler)
{
    installed<FolderHandler>() = std::move(handler);
}

void setSaveFileHandler(SaveFileHandler handler)
{
    installed<SaveFileHandler>() = std::move(handler);
}

} // namespace Prompts
