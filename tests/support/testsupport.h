#pragma once

#include "platform/prompts.h"

#include <QtTest>

class QTreeWidget;

// A product folder of its own for one test: $appdata points at a scratch
// folder holding the temporary folder and a copy of the built catalogue
// (unless asked not to).
class ScratchProduct
{
public:
    explicit ScratchProduct(bool withCatalogue = true);
    ~ScratchProduct();

    QString appData() const { return m_dir.path(); }
    QString product() const;
    // With its trailing separator.
    QString temp() const;
    QString catalogue() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

// Answers every box and file dialog while it lives, and remembers them.
class PromptRecorder
{
public:
    PromptRecorder();
    ~PromptRecorder();

    QList<Prompts::Box> boxes;
    // Answers used in order; when empty, a box answers its escape button
    // (No for questions, OK otherwise).
    QList<QMessageBox::StandardButton> answers;
    QList<QStringList> fileAnswers;
    QStringList folderAnswers;
    QStringList saveAnswers;
    QStringList dialogCaptions;

    QStringList texts() const;
};

// Puts a folder of scripted tool stand-ins in front of PATH while it lives;
// `alone` leaves nothing else on PATH, so no real tool is found behind it.
class PathPrefix
{
public:
    explicit PathPrefix(const QString &folder, bool alone = false);
    ~PathPrefix();

private:
    QByteArray m_previous;
};

// A scripted tool stand-in (tests/data/stand-ins/scripted) alone on PATH
// while it lives, playing `mode`; it keeps its pid and arguments in `folder`
// and waits there for a "go" file. Modes "missing" and "unstartable" leave a
// tool that isn't there or can't start.
class StandIn : PathPrefix
{
public:
    StandIn(const QByteArray &mode, const QString &folder);
    ~StandIn();
    bool alive(const QString &tool = "ffmpeg") const;

private:
    QString m_folder;
};

// A data table of one column of `T`, a row per (name, value).
template <typename T>
void addRows(const char *column, std::initializer_list<std::pair<const char *, T>> rows)
{
    QTest::addColumn<T>(column);
    for (const auto &[name, value] : rows)
        QTest::newRow(name) << value;
}

QString testData(const QString &relative);
// A file's bytes; empty when it can't be read.
QByteArray readFile(const QString &path);
// Writes a file, making its folder first.
bool writeFile(const QString &path, const QByteArray &bytes = "x");
// Whether the process whose id a stand-in wrote into `pidFile` lives.
bool processAlive(const QString &pidFile);
// Runs a program to its end, quietly; whether it succeeded.
bool runTool(const QString &program, const QStringList &args);
// Runs ffmpeg on `args` the same way.
bool ffmpeg(const QStringList &args);
// Writes `path` with ffmpeg from generated sources, one input per filter graph.
bool lavfi(const QString &path, const QStringList &sources, const QStringList &options);
// "codec codec ... duration" of a media file, as ffprobe reads it.
QString streams(const QString &path);

// A rip dialog's rows as "x Track 1 4:07": x ticked, - not.
QStringList tickedRows(const QTreeWidget *tree);

// Makes a file undeletable and unwritable: immutable when running as root
// (permissions don't stop root), otherwise by write-protecting its folder.
bool setLocked(const QString &path, bool locked);
