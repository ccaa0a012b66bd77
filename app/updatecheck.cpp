#include "app/updatecheck.h"

#include "platform/tools.h"

#include <QStringList>

namespace UpdateCheck {

QUrl siteUrl(const QString &pathAndQuery)
{
    QString site = qEnvironmentVariable("MEDIAFORGESTUDIO_SITE");
    if (site.isEmpty())
        site = "http://www.mediaforgestudio.com";
    while (site.endsWith('/'))
        site.chop(1);
    return QUrl(site + pathAndQuery);
}

bool isNewer(const QString &offered, const QString &running)
{
    const QStringList a = offered.trimmed().split('.');
    const QStringList b = running.trimmed().split('.');
    for (int i = 0; i < 3; ++i) {
        const int x = i < a.size() ? a.at(i).toInt() : 0;
        const int y = i < b.size() ? b.at(i).toInt() : 0;
        if (x != y)
            return x > y;
    }
    return false;
}

Answer evaluate(const QByteArray &body, const QString &running)
{
    const QStringList lines = Tools::toolText(body).split('\n');
    Answer answer;
    answer.newer = isNewer(lines.first(), running);
    if (!answer.newer)
        return answer;
    QString text = "Version " + lines.first() + " is available for download!\n\nNew features:\n";
    for (int i = 1; i < lines.size(); ++i)
        text += lines.at(i) + "\n";
    text += "\nWould you like to download this now?";
    answer.message = text;
    return answer;
}

} // namespace UpdateCheck
