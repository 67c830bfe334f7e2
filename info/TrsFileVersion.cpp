#include "info/TrsFileVersion.h"

#include <QStringList>

#ifndef TESS_PROGRAM_VERSION
#error "TESS_PROGRAM_VERSION must name the program's version"
#endif

namespace tess::info {

void TrsFileVersion::Reset()
{
    Major = 0;
    Minor = 0;
    Release = 0;
    Build = 0;
}

bool TrsFileVersion::LoadFromText(const QString& version)
{
    const QStringList parts = version.trimmed().split(u'.');
    int numbers[4] = {0, 0, 0, 0};
    if (parts.size() > 4) {
        Reset();
        return false;
    }
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        bool ok = !part.isEmpty() && part.size() <= 5;
        for (const QChar c : part)
            ok = ok && c >= u'0' && c <= u'9';
        const int n = ok ? part.toInt() : -1;
        if (n < 0 || n > 0xFFFF) {
            Reset();
            return false;
        }
        numbers[i] = n;
    }
    Major = numbers[0];
    Minor = numbers[1];
    Release = numbers[2];
    Build = numbers[3];
    return true;
}

QString TrsFileVersion::compiledIn()
{
    return QStringLiteral(TESS_PROGRAM_VERSION);
}

} // namespace tess::info
