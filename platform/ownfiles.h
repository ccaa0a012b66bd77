#pragma once

#include <QString>

// Files and folders this run made. Every output is created exclusively at
// the moment its name is chosen: a name that anything already holds (a file,
// a folder, a link, even one that leads nowhere) is taken, and nothing is
// ever written through a link. Clean-up removes only what is still the very
// entry this run made (same device and inode), so another run's file, or a
// user's file put in its place, is left alone. Safe from any thread.
namespace OwnFiles {

// Creates a new, empty regular file and remembers it. Answers an open
// descriptor for writing (close-on-exec) or -1 with the reason.
int createFile(const QString &path, QString *error = nullptr);
// The same, closing the file at once: the name is claimed.
bool claimFile(const QString &path, QString *error = nullptr);
// Creates a new folder (never an existing one) and remembers it.
bool createFolder(const QString &path, QString *error = nullptr);

// The first name among STEM.EXT, STEM (New).EXT, STEM (New)(2).EXT, ... that
// nothing holds, claimed as it is chosen; "" with the reason when none can
// be created (the folder is missing or not writable).
QString claimFreeName(const QString &stem, const QString &ext, QString *error = nullptr);

// Whether the entry at `path` is the one this run made.
bool isOwn(const QString &path);
// Removes `path` when it is still this run's own, a folder with everything
// in it (links inside are removed as links, never followed). False when it
// is not ours or could not be removed.
bool remove(const QString &path);
// Gives an own entry the name `to` in one step, and it stays this run's own
// there. A name that anything holds is refused (EEXIST), unless `replace`:
// then the entry at `to` itself is replaced, a link included, never the
// file it leads to. Both names lie on one file system.
bool rename(const QString &from, const QString &to, bool replace, QString *error = nullptr);
// Hands the file on (a finished output): it is no longer removed as ours.
void forget(const QString &path);
// Takes an entry that a tool of this run made at a name this run chose
// (a folder a tool created, say) as this run's own.
bool adopt(const QString &path);

// What is at `path` itself (device, inode, generation) as text, so that a
// later run can tell whether the name still holds that very entry; "" when
// nothing is there.
QString identity(const QString &path);

// Writes all of `data` straight to the file (no buffer, so that a full disk
// fails the write that meets it); false with errno set.
bool writeAll(int fd, const char *data, qint64 size);

// The text of an errno value, as the C library gives it ("No space left on device").
QString errorText(int errnum);

} // namespace OwnFiles
