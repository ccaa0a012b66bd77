#include "cli/cli.h"

#include "platform/filenames.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace Cli {

namespace {

const QString program = "mediaforgestudio-cli";

void write(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// File names in the text go out as the bytes they were.
void write(FILE *stream, const QString &text)
{
    write(stream, FileNames::encode(text));
}

void message(const QString &text)
{
    write(stderr, program + ": " + text + "\n");
}

QString optionLabel(const Option &option)
{
    if (option.name == "help")
        return "-h, --help";
    return "--" + option.name + (option.value.isEmpty() ? QString() : " " + option.value);
}

QString usageLine(const Command &command)
{
    return "Usage: " + program + " " + command.name
           + (command.synopsis.isEmpty() ? QString() : " " + command.synopsis) + "\n";
}

QString commandHelp(const Command &command)
{
    QString text = usageLine(command) + "\n" + command.description + "\n\nOptions:\n";
    QList<Option> options = command.options;
    options << Option{"help", {}, "Show this text."};
    int width = 0;
    for (const Option &option : options)
        width = std::max(width, int(optionLabel(option).size()));
    for (const Option &option : options)
        text += "  " + optionLabel(option).leftJustified(width + 2) + option.help + "\n";
    return text;
}

QString overview(const QList<Command> &commands)
{
    QString text = "Usage: " + program + " COMMAND [OPTION...] [ARGUMENT...]\n"
R"(
Converts audio and video files with MediaForgeStudio's catalogue of devices,
formats and presets, rips audio CDs and DVDs, and burns DVD-Videos and audio
CDs or writes them as image files, for scripts and terminals. The jobs follow
the window's own rules: the presets' order, the probe, the fitting of the
frame size to the input, the naming of outputs, which never overwrites an
existing file, and the burner's checks and phases.

Commands:
)";
    for (const Command &command : commands) {
        text += "  " + command.name + " " + command.synopsis + "\n";
        text += "      " + command.summary + "\n";
    }
    text += "\nRun \"" + program + R"( COMMAND --help" for the options of one command.

Options:
  -h, --help   Show this text, or after a command that command's help.
  --version    Show the version.
  --           Ends the options: what follows are operands, even when they
               begin with a dash.

Output:
  Results go to standard output, one line each (with --json, listing
  commands print one JSON document instead). Progress and messages go to
  standard error: one updating line on a terminal, otherwise one line per
  whole percent.

Exit status:
  0    Every job succeeded.
  1    Some job failed, or the catalogue or ffmpeg could not be found.
  2    Bad usage: an unknown command, option or id, a missing value, a
       file that does not exist or can't be read, or an output file that
       exists already. Nothing has been done.
  130  Stopped by Ctrl-C (SIGINT); 143 for SIGTERM, 129 for SIGHUP. The job
       that was running is stopped and its partial output removed.

Files:
  $appdata/MediaForgeStudio/data.db
      The user's catalogue, shared with the window (without $appdata:
      ~/.local/share/MediaForgeStudio/data.db). It is only read: usage
      counts, which order the window's lists, are never changed.
  PREFIX/share/mediaforgestudio/data.db
      The catalogue installed with the program, read when the user has none
      or the user's is damaged (which is then said, and left as it is).
  $appdata/MediaForgeStudio/temp/log.txt
      The log of conversions, rips and burns, shared with the window.
  $appdata/MediaForgeStudio/temp/.burn-XXXXXX/
      A burn's staging folder, removed when the burn ends.

Environment:
  appdata  The application-data folder (see Files).
  PATH     Where ffmpeg and the disc tools (dvdauthor, growisofs,
           dvd+rw-mediainfo, genisoimage, cdrskin or wodim) are looked for,
           after the program's own folder, which holds ripper and
           mfs-cdstate.

Examples:
  )" + program + R"( presets --format 2
  )" + program + R"( info --json holiday.mkv
  )" + program + R"( convert --preset 203 *.wav
  )" + program + R"( convert --preset 104 --output ~/Videos/small holiday.mkv
  )" + program + R"( convert --preset 104 --args "-s 320x240 -c:v libx264 -c:a aac" clip.mov
  )" + program + R"( cd-tracks /dev/sr0
  )" + program + R"( rip-cd /dev/sr0 --tracks 1,3-5 --output ~/Music/Album
  )" + program + R"( dvd-titles --json ~/Images/movie.iso
  )" + program + R"( rip-dvd /dev/sr0 --titles 2,3 --output ~/Videos
  )" + program + R"( burn-dvd /dev/sr0 --standard NTSC holiday.mkv trip.mpg
  )" + program + R"( burn-cd ~/Images/mix.cue one.flac two.wav
)";
    return text;
}

const Command *findCommand(const QList<Command> &commands, const QString &name)
{
    for (const Command &command : commands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

const Option *findOption(const Command &command, const QString &name)
{
    for (const Option &option : command.options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

int runCommand(const Command &command, const QStringList &args)
{
    Invocation call;
    call.command = &command;
    // Help wins over anything else on the line, as users add it last.
    for (const QString &arg : args) {
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "--help") {
            write(stdout, commandHelp(command));
            return Success;
        }
    }
    bool onlyOperands = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (onlyOperands || arg == "-" || !arg.startsWith('-')) {
            call.operands << arg;
            continue;
        }
        if (arg == "--") {
            onlyOperands = true;
            continue;
        }
        const int eq = arg.indexOf('=');
        const QString name = arg.startsWith("--") ? arg.mid(2, eq < 0 ? -1 : eq - 2) : QString();
        const Option *option = findOption(command, name);
        if (!option)
            return call.refuse("unknown option " + (eq < 0 ? arg : arg.left(eq)));
        if (option->value.isEmpty()) {
            if (eq >= 0)
                return call.refuse("option --" + name + " takes no value");
            call.options.insert(name, QString());
        } else if (eq >= 0) {
            call.options.insert(name, arg.mid(eq + 1));
        } else if (i + 1 < args.size()) {
            call.options.insert(name, args.at(++i));
        } else {
            return call.refuse("option --" + name + " needs a value (" + option->value + ")");
        }
    }
    if (call.operands.size() < command.minOperands)
        return call.refuse("missing " + command.operand);
    if (command.maxOperands >= 0 && call.operands.size() > command.maxOperands)
        return call.refuse("unexpected argument " + call.operands.at(command.maxOperands));
    return command.run(call);
}

} // namespace

int Invocation::refuse(const QString &text) const
{
    complain(text);
    return BadUsage;
}

void Invocation::complain(const QString &text) const
{
    message(command->name + ": " + text);
}

int dispatch(const QStringList &arguments, const QList<Command> &commands)
{
    const QString first = arguments.value(1);
    const QString seeHelp = "; see \"" + program + " --help\"";
    if (first.isEmpty()) {
        message("no command given" + seeHelp);
        return BadUsage;
    }
    if (first == "-h" || first == "--help" || first == "help") {
        write(stdout, overview(commands));
        return Success;
    }
    if (first == "--version") {
        result(program + " " + QCoreApplication::applicationVersion());
        return Success;
    }
    const Command *command = findCommand(commands, first);
    if (!command) {
        message((first.startsWith('-') ? "unknown option " : "unknown command ") + first + seeHelp);
        return BadUsage;
    }
    return runCommand(*command, arguments.mid(2));
}

QStringList readableFiles(const Invocation &call, int *status)
{
    QStringList files;
    for (const QString &operand : call.operands) {
        QString problem;
        if (!FileNames::exists(operand))
            problem = "no such file";
        else if (FileNames::isFolder(operand))
            problem = "is a folder, not a file";
        else if (FileNames::size(operand) < 0)
            problem = "is not a regular file";
        else if (!FileNames::isReadable(operand))
            problem = "can't be read (permission denied)";
        if (!problem.isEmpty()) {
            *status = call.refuse(operand + ": " + problem);
            return {};
        }
        files << Folders::nativeAbsolute(operand);
    }
    *status = Success;
    return files;
}

QString oneLine(QString text)
{
    return text.replace("\n\n", " ").replace('\n', ' ').trimmed();
}

void result(const QString &line)
{
    write(stdout, line + "\n");
}

void resultJson(const QJsonValue &document)
{
    const QJsonDocument doc = document.isArray() ? QJsonDocument(document.toArray())
                                                 : QJsonDocument(document.toObject());
    write(stdout, doc.toJson(QJsonDocument::Indented));
}

} // namespace Cli
