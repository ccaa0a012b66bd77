#pragma once

// ripper's two jobs, also called in-process by its fuzz target.

#include <cstdio>

namespace ripper {

enum Exit { Ok = 0, Usage = 1, Unreadable = 2, NoTitle = 3, Unwritable = 4, ReadFailed = 5, Encrypted = 6 };

// "TITLES: n", then "TITLE_tt" and "LENGTH IN MS: ms" per title.
int list(const char *source);
// Copies title T to a new file OUT, printing "NN%" with backspaces between;
// "0%" comes once OUT has been made.
int copy(const char *source, const char *title, const char *out);

// Where a failure's one line goes: standard error unless changed.
extern std::FILE *complaints;

} // namespace ripper
