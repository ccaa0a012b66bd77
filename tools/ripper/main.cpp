// ripper: lists the titles of a DVD-Video and copies one title's video data.
//
//   ripper SOURCE            "TITLES: n", then "TITLE_tt" and "LENGTH IN MS: ms" per title
//   ripper SOURCE T OUT      copies title T to the new file OUT, printing "NN%" with backspaces between
//
// SOURCE is a device node, a mounted disc, a DVD folder (VIDEO_TS or the one
// above it) or an ISO image. Failures end with one line on standard error and
// a non-zero exit status.

#include "ripper.h"

int main(int argc, char **argv)
{
    if (argc == 2)
        return ripper::list(argv[1]);
    if (argc == 4)
        return ripper::copy(argv[1], argv[2], argv[3]);
    std::fprintf(ripper::complaints, "ripper: usage: ripper SOURCE (lists the titles) or ripper SOURCE TITLE OUT "
                                     "(copies a title to a new file)\n");
    return ripper::Usage;
}
