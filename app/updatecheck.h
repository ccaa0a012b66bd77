#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace UpdateCheck {

// The product web site; MEDIAFORGESTUDIO_SITE overrides the built-in address.
QUrl siteUrl(const QString &pathAndQuery);

// Dot-separated decimal versions, compared on three components; a missing or
// non-numeric component reads as 0.
bool isNewer(const QString &offered, const QString &running);

struct Answer {
    bool newer = false;
    QString message; // the question to ask when newer
};
// Evaluates the version file: first line the offered version, then features.
Answer evaluate(const QByteArray &body, const QString &running);

} // namespace UpdateCheck
