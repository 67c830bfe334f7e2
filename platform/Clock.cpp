#include "platform/Clock.h"

#include <QLocale>

namespace tess::platform {

namespace {
// The first character of a short format that is not a pattern letter is the separator.
QString separatorIn(const QString& format, const QString& fallback)
{
    for (QChar c : format) {
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return QString(c);
    }
    return fallback;
}
} // namespace

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

QString SystemClock::dateSeparator() const
{
    return separatorIn(QLocale::system().dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
}

QString SystemClock::timeSeparator() const
{
    return separatorIn(QLocale::system().timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
}

} // namespace tess::platform
