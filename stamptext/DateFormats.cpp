#include "stamptext/DateFormats.h"

#include <QFileInfo>
#include <QTimeZone>

namespace tess::stamptext {

namespace {

struct DateFormat
{
    const char* caption;
    const char* pattern;
};

// Index 0 writes EXIF dates as stored; its pattern is the one used for file dates.
constexpr DateFormat Formats[DateFormatCount] = {
    {"Default", "yyyy:mm:dd hh:nn:ss"},
    {"YYYY-MM-DD HH:MM:SS", "yyyy-mm-dd hh:nn:ss"},
    {"YYYY-MM-DD", "yyyy-mm-dd"},
    {"HH:MM:SS", "hh:nn:ss"},
    {"MM/DD/YYYY HH:MM:SS am/pm", "mm/dd/yyyy hh:nn:ss am/pm"},
    {"MM/DD/YYYY", "mm/dd/yyyy"},
    {"HH:MM:SS am/pm", "hh:nn:ss am/pm"},
    {"DD-MM-YYYY  HH:MM:SS", "dd-mm-yyyy hh:nn:ss"},
    {"DD-MM-YYYY", "dd-mm-yyyy"},
};

bool inTable(int index)
{
    return index >= 0 && index < DateFormatCount;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// A decimal number, blanks in front allowed; nothing for an empty or malformed piece.
std::optional<int> number(QStringView piece)
{
    qsizetype i = 0;
    while (i < piece.size() && piece[i] == u' ')
        ++i;
    if (i == piece.size())
        return std::nullopt;
    int value = 0;
    for (; i < piece.size(); ++i) {
        if (piece[i] < u'0' || piece[i] > u'9')
            return std::nullopt;
        value = value * 10 + (piece[i].unicode() - u'0');
    }
    return value;
}

} // namespace

const QStringList& dateFormatCaptions()
{
    static const QStringList captions = [] {
        QStringList list;
        for (const DateFormat& f : Formats)
            list.append(QString::fromLatin1(f.caption));
        return list;
    }();
    return captions;
}

QString dateFormatPattern(int index)
{
    return inTable(index) ? QString::fromLatin1(Formats[index].pattern) : QString();
}

QString formatWithPattern(const QDateTime& value, const QString& pattern,
                          const Separators& separators)
{
    static const QString amPm = QStringLiteral("am/pm");
    const bool twelveHour = pattern.contains(amPm);
    const QDate date = value.date();
    const QTime time = value.time();
    QString out;
    const QStringView p(pattern);
    for (qsizetype i = 0; i < p.size();) {
        const QStringView rest = p.sliced(i);
        if (rest.startsWith(amPm)) {
            out += time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += amPm.size();
        } else if (rest.startsWith(u"yyyy")) {
            out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            i += 4;
        } else if (rest.startsWith(u"mm")) {
            out += twoDigits(date.month());
            i += 2;
        } else if (rest.startsWith(u"dd")) {
            out += twoDigits(date.day());
            i += 2;
        } else if (rest.startsWith(u"hh")) {
            const int hour = time.hour();
            out += twoDigits(twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour);
            i += 2;
        } else if (rest.startsWith(u"nn")) {
            out += twoDigits(time.minute());
            i += 2;
        } else if (rest.startsWith(u"ss")) {
            out += twoDigits(time.second());
            i += 2;
        } else if (rest[0] == u'/') {
            out += separators.date;
            ++i;
        } else if (rest[0] == u':') {
            out += separators.time;
            ++i;
        } else {
            out += rest[0];
            ++i;
        }
    }
    return out;
}

std::optional<QDateTime> parseExifDateTime(const QString& text)
{
    const QStringView t(text);
    const std::optional<int> year = number(t.mid(0, 4));
    const std::optional<int> month = number(t.mid(5, 2));
    const std::optional<int> day = number(t.mid(8, 2));
    const std::optional<int> hour = number(t.mid(11, 2));
    const std::optional<int> minute = number(t.mid(14, 2));
    const std::optional<int> second = number(t.mid(17, 2));
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    if (*year < 1 || *year > 9999)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    const QTime time(*hour, *minute, *second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());
}

QString formatExifDate(const QString& text, int index, const Separators& separators)
{
    if (text.isEmpty())
        return {};
    const std::optional<QDateTime> parsed = parseExifDateTime(text);
    if (!parsed || !inTable(index))
        return {};
    if (index == 0)
        return text;
    return formatWithPattern(*parsed, dateFormatPattern(index), separators);
}

QString formatFileDate(const QDateTime& value, int index, const Separators& separators)
{
    if (!inTable(index))
        return {};
    return formatWithPattern(value, dateFormatPattern(index), separators);
}

std::optional<QDateTime> fileDate(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return std::nullopt;
    const QDateTime modified = info.lastModified();
    if (!modified.isValid())
        return std::nullopt;
    const QTime t = modified.time();
    // Step back on the time line, so an hour that occurs twice at a clock change stays put.
    return modified.addMSecs(-qint64(t.msec()) - (t.second() % 2) * 1000);
}

} // namespace tess::stamptext
