#include "disc/burn/discplan.h"

#include <QRegularExpression>

namespace DiscPlan {

QString volumeLabel(const QString &name)
{
    // Accents go, their letters stay ("Été" is "ETE").
    QString label;
    for (const QChar c : name.normalized(QString::NormalizationForm_KD).toUpper()) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        label += (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : QChar('_');
    }
    label = label.left(32);
    return label.contains(QRegularExpression("[A-Z0-9]")) ? label : QString("DVD_VIDEO");
}

QString chapterMarks(int seconds, int minutes)
{
    QStringList marks{"0"};
    if (minutes > 0) {
        // A mark in the last seconds would make a chapter too short to find.
        for (qint64 at = qint64(minutes) * 60; at + 5 < seconds; at += qint64(minutes) * 60)
            marks << (at < 3600 ? QString("%1:00").arg(at / 60)
                                : QString("%1:%2:00").arg(at / 3600).arg(at / 60 % 60, 2, 10, QChar('0')));
    }
    return marks.join(',');
}

} // namespace DiscPlan
