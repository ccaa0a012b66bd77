#pragma once

#include <QString>
#include <QStringList>

// The catalogue of input kinds, devices, formats and output presets, read
// from data.db on the default connection as flat lists of N strings a row.
namespace Catalogue {

constexpr int addColumns = 6;
constexpr int formatColumns = 7;
constexpr int outputColumns = 9;

// The window counts choices; the command line opens the file read-only so
// that the user's order is never changed by a script. False when it does
// not open (a read-only open never creates the file).
enum class Access { ReadWrite, ReadOnly };
bool open(const QString &path, Access access = Access::ReadWrite);
// Why the file at `path` can't serve as the catalogue ("it is not a
// database", "the table ... is missing", ...), or an empty text when it can.
// Only reads the file; a catalogue that can't be written still passes.
QString problem(const QString &path);
void close();

QStringList addModel();
QStringList deviceModel();
QStringList formatModel();
QStringList outputModel(const QString &formatId);
void incrementCount(int formatId, int outputId);

} // namespace Catalogue
