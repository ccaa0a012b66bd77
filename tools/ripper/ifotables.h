#pragma once

// The few tables of a DVD's information files (VIDEO_TS.IFO, VTS_nn_0.IFO or
// their .BUP copies) that ripper needs, read from the file's bytes with every
// count, offset and size checked against the bytes there are. libdvdread's own
// reader trusts them and crashes on a cut or garbled file; this one says no.

#include <cstdint>
#include <string>
#include <vector>

namespace ifo {

using Bytes = std::vector<unsigned char>;

// A title of the disc, as the video manager lists it.
struct Title {
    int titleSet = 0; // 1..99: which VTS_nn files hold it
    int setTitle = 0; // 1..99: its number inside that title set
};

// The sectors of one cell, counted from the start of the title set's VOBs.
struct Cell {
    uint32_t first = 0;
    uint32_t last = 0;
};

// What a title plays: its length and its cells (of an angle block only the
// first angle's).
struct Chain {
    long long milliseconds = 0;
    std::vector<Cell> cells;
};

// The titles of a video manager file; false with the reason when the bytes
// are not one or don't hold together.
bool readTitles(const Bytes &file, std::vector<Title> &titles, std::string &why);

// The chain each title of a title set file starts with, title 1 first; false
// with the reason when any of them can't be read.
bool readTitleSet(const Bytes &file, std::vector<Chain> &chains, std::string &why);

} // namespace ifo
