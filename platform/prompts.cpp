#include "platform/prompts.h"

#include <QFileDialog>

namespace Prompts {

namespace {
BoxHandler &boxHandler()
{
    static BoxHandler h;
    return h;
}
OpenFilesHandler &openFilesHandler()
{
    static OpenFilesHandler h;
    return h;
}
FolderHandler &folderHandler()
{
    static FolderHandler h;
    return h;
}
SaveFileHandler &saveFileHandler()
{
    static SaveFileHandler h;
    return h;
}
} // namespace

QMessageBox::StandardButton show(const Box &box)
{
    if (boxHandler())
        return boxHandler()(box);
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
    if (openFilesHandler())
        return openFilesHandler()(caption, folder, filter);
    return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
}

QString existingFolder(QWidget *parent, const QString &caption, const QString &folder)
{
    if (folderHandler())
        return folderHandler()(caption, folder);
    return QFileDialog::getExistingDirectory(parent, caption, folder,
                                             QFileDialog::ShowDirsOnly);
}

QString saveFile(QWidget *parent, const QString &caption, const QString &folder,
                 const QString &filter)
{
    if (saveFileHandler())
        return saveFileHandler()(caption, folder, filter);
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

void warning(const QString &text, QWidget *parent, const QString &title)
{
    show({QMessageBox::Warning, title, text, {}, {}, QMessageBox::Ok, parent});
}

void critical(const QString &title, const QString &text)
{
    show({QMessageBox::Critical, title, text, {}, {}, QMessageBox::Ok, nullptr});
}

bool question(const QString &title, const QString &text, QMessageBox::Icon icon)
{
    return show({icon, title, text, {}, {}, QMessageBox::Yes | QMessageBox::No, nullptr})
           == QMessageBox::Yes;
}

void setBoxHandler(BoxHandler handler)
{
    boxHandler() = std::move(handler);
}

void setOpenFilesHandler(OpenFilesHandler handler)
{
    openFilesHandler() = std::move(handler);
}

void setFolderHandler(FolderHandler handler)
{
    folderHandler() = std::move(handler);
}

void setSaveFileHandler(SaveFileHandler handler)
{
    saveFileHandler() = std::move(handler);
}

} // namespace Prompts
