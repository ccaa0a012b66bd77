#include "media/commandline.h"

#include <limits>

namespace {

bool parseSize(const QString &text, int *w, int *h)
{
    const int x = text.indexOf('x');
    if (x < 0)
        return false;
    bool okW = false, okH = false;
    *w = text.left(x).toInt(&okW);
    *h = text.mid(x + 1).toInt(&okH);
    return okW && okH;
}

} // namespace

bool fitFrame(int srcW, int srcH, int boxW, int boxH, int *width, int *height)
{
    if (srcW <= 0 || srcH <= 0 || boxW <= 0 || boxH <= 0)
        return false;
    const double ratio = double(srcW) / double(srcH);
    // Compared before converting, so that an extreme ratio can't overflow;
    // whichever side is kept lies within the box.
    const double fullWidthHeight = boxW / ratio;
    qint64 w = boxW;
    qint64 h = qint64(fullWidthHeight);
    if (fullWidthHeight >= boxH + 1.0) {
        w = qint64(ratio * boxH);
        h = boxH;
    }
    w += w % 2;
    h += h % 2;
    if (w > std::numeric_limits<int>::max() || h > std::numeric_limits<int>::max())
        return false;
    *width = int(w);
    *height = int(h);
    return true;
}

QStringList buildPresetArguments(const QString &ffmpegArgs, const QString &aspect)
{
    QStringList tokens = ffmpegArgs.split(' ');
    // A DVD title needs a picture (dvdauthor refuses sound alone): an input
    // without one gets a black frame of the standard for as long as it plays.
    // The picture is mapped first; dvdauthor refuses the stream otherwise.
    const int target = tokens.indexOf("-target");
    if (aspect.isEmpty() && target >= 0 && target + 1 < tokens.size()
        && tokens.at(target + 1).endsWith("-dvd")) {
        const QString black = tokens.at(target + 1).startsWith("pal")
                                  ? "color=c=black:s=720x576:r=25"
                                  : "color=c=black:s=720x480:r=30000/1001";
        return QStringList{"-f", "lavfi", "-i", black, "-map", "1:v", "-map", "0:a", "-shortest"}
               + tokens;
    }
    const QString first = tokens.first();
    if (first == "-pix_fmt" || first == "-vn" || ffmpegArgs.contains("-aspect"))
        return tokens;
    if (aspect.isEmpty()) {
        tokens << "-vn";
        return tokens;
    }
    // A preset or input size that doesn't have the expected form is passed on
    // unchanged rather than guessed at.
    int srcW, srcH, boxW, boxH, w, h;
    if (tokens.size() < 2 || !parseSize(aspect, &srcW, &srcH)
        || !parseSize(tokens.at(1), &boxW, &boxH) || !fitFrame(srcW, srcH, boxW, boxH, &w, &h))
        return tokens;
    tokens[1] = QString::number(w) + "x" + QString::number(h);
    return tokens;
}

QString probedFrameSize(const QStringList &fileVideoInfo)
{
    return fileVideoInfo.value(2).split(' ').first();
}
