#pragma once

#include "support/testsupport.h"

#include <memory>

// A PATH of only the named disc-tool stand-ins ("!name" can't be started,
// "@name" is built here) and real programs; the stand-ins write into it.
class ToolFolder
{
public:
    explicit ToolFolder(const QStringList &standIns, const QStringList &real = {})
    {
        for (const QString &name : standIns)
            QFile::link(name[0] == '@'   ? MFS_TEST_BIN "/" + name.mid(1)
                        : name[0] == '!' ? testData("stand-ins/unstartable/ffmpeg")
                                         : testData("stand-ins/burners/" + name),
                        m_dir.filePath(name.mid(name[0] == '@' || name[0] == '!')));
        for (const QString &name : real)
            QFile::link(QStandardPaths::findExecutable(name), m_dir.filePath(name));
        m_path = std::make_unique<PathPrefix>(m_dir.path(), true);
        qputenv("MFS_FAKE_DIR", QFile::encodeName(m_dir.path()));
    }
    QString read(const QString &name) const { return readFile(m_dir.filePath(name)); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PathPrefix> m_path;
};
