#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A product folder of its own for one test: $appdata points at a scratch
// folder holding a copy of the built catalogue (unless asked not to).
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

QString testData(const QString &relative);

// Makes a file undeletable and unwritable: immutable when running as root
// (permissions don't stop root), otherwise by write-protecting its folder.
bool setLocked(const QString &path, bool locked);
