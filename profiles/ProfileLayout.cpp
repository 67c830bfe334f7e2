#include "profiles/ProfileLayout.h"

#include "profiles/AttributeProfile.h"
#include "profiles/ProfileText.h"

namespace tess::profiles {

namespace {

/// Whether `text` on line `lineNumber` is one of the markers an older file can have there.
bool isOlderFileMarker(const ProfileLine& line, int lineNumber, QStringView text)
{
    switch (line.olderFiles) {
    case OlderFiles::HaveIt:
        return false;
    case OlderFiles::DashHere:
        return text.startsWith(u'-');
    case OlderFiles::MarkerHere:
        // Line 20 is the first a shorter file can lack, so "-1-" is the first marker there.
        for (int k = 1; k <= lineNumber - 19; ++k) {
            if (text == QLatin1StringView(markerLine(k)))
                return true;
        }
        return false;
    }
    return false;
}

} // namespace

int lineInteger(QStringView text)
{
    const std::optional<int> value = profileInteger(text);
    if (!value)
        throw ProfileConversionError{};
    return *value;
}

bool lineBoolean(QStringView text)
{
    const std::optional<bool> value = profileBoolean(text);
    if (!value)
        throw ProfileConversionError{};
    return *value;
}

SizeRule lineSizeRule(QStringView text)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0)
        throw ProfileConversionError{};
    return {lineBoolean(text.first(comma)), lineInteger(text.sliced(comma + 1))};
}

void readProfileLayout(QStringView text,
                       const std::function<void(const ProfileLine&, QStringView)>& value,
                       const std::function<void(const ProfileEntryLines&)>& entry)
{
    ProfileLines lines(text);
    lines.next(); // the header, checked on the raw bytes
    int lineNumber = FirstValueLine;
    for (const ProfileLine& line : ProfileLayout) {
        const QStringView lineText = lines.next();
        if (isOlderFileMarker(line, lineNumber, lineText))
            value(line, QStringView(line.olderValue));
        else
            value(line, lineText);
        ++lineNumber;
    }
    // Files whose markers begin early end them sooner: see skipMarkers.
    lines.skipMarkers();
    while (!lines.atEnd()) {
        const QStringView mask = lines.next();
        entry({mask, lines.next()});
    }
}

QByteArray markerLine(int k)
{
    return '-' + QByteArray::number(k) + '-';
}

} // namespace tess::profiles
