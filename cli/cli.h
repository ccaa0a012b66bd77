#pragma once

#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The command-line front end: a table of commands, each a name, its options
// and one function. The dispatcher parses the line against the command's
// options, answers --help, and turns every refusal into a one-line message
// and exit status 2; the function does the work and returns the status.
namespace Cli {

// What the program tells its caller. A stop by a signal exits with
// 128 + the signal's number (130 for Ctrl-C).
enum Status { Success = 0, JobFailed = 1, BadUsage = 2 };

struct Option {
    QString name;  // without the dashes: "preset"
    QString value; // the value's name in the help ("ID"); empty for a switch
    QString help;  // one line
};

struct Invocation;

struct Command {
    QString name;        // "convert"
    QString synopsis;    // what follows the name in the usage line
    QString summary;     // one line for the overview
    QString description; // paragraphs for "COMMAND --help"
    QList<Option> options;
    QString operand;     // "FILE" for a list of files; empty when none is taken
    int minOperands = 0;
    int maxOperands = 0; // -1: any number
    std::function<int(const Invocation &)> run;
};

// One command line, parsed against its command.
struct Invocation {
    const Command *command = nullptr;
    QHash<QString, QString> options; // given options; switches hold ""
    QStringList operands;

    bool has(const QString &option) const { return options.contains(option); }
    QString value(const QString &option) const { return options.value(option); }
    bool json() const { return has("json"); }
    // Prints "program: command: message" and answers BadUsage.
    int refuse(const QString &message) const;
    // The same message for a failure that is not the caller's fault.
    void complain(const QString &message) const;
};

// Runs the command named by arguments[1] from the table; the status to exit with.
int dispatch(const QStringList &arguments, const QList<Command> &commands);

// The table, in the order the overview lists it (main.cpp). Each command
// group lives in its own file and adds one function here.
QList<Command> allCommands();
QList<Command> mediaCommands(); // presets, info, convert
QList<Command> discCommands();  // drives, cd-tracks, rip-cd, dvd-titles, rip-dvd
QList<Command> burnCommands();  // burn-dvd, burn-cd

// Operands that must be readable files: the first one that isn't is named in
// a refusal. Answers the files as absolute native paths, or nothing after a
// refusal (with *status set to BadUsage).
QStringList readableFiles(const Invocation &call, int *status);

// As shells report a program ended by a signal (130 for Ctrl-C).
inline int stoppedStatus(int signal)
{
    return 128 + signal;
}

// A message written for a box, as one line.
QString oneLine(QString text);

// Results: standard output, flushed line by line so that a pipe sees each
// finished job at once.
void result(const QString &line);
void resultJson(const QJsonValue &document);

} // namespace Cli
