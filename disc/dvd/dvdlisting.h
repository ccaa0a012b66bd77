#pragma once

#include "disc/dvd/rippertext.h"

// The titles of a DVD source as `ripper SOURCE` lists them, for the DVD
// dialog and the command line alike.
struct DvdListing {
    DvdTitles titles; // empty unless the tool listed the disc in full
    // Empty when it did; otherwise why not, as one sentence for the user:
    // "No DVD titles were found in SOURCE." when there is no DVD-Video, or
    // "Cannot read the titles of SOURCE: ..." when the tool failed on one,
    // "... the DVD's structure is damaged: ripper crashed ..." when it crashed.
    QString problem;
    // What the tool or the drive said about it, when anything.
    QString detail;
};

// Bounded by `timeoutMs`; a tool that takes longer has failed.
DvdListing listDvd(const QString &source, int timeoutMs = 30000);
