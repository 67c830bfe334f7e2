#pragma once

#include <QString>

namespace tess::info {

/// The four numbers of a file version: major.minor.release.build. The program's own
/// version is the one it was built with.
class TrsFileVersion
{
public:
    TrsFileVersion() { Reset(); }

    int Major = 0;
    int Minor = 0;
    int Release = 0;
    int Build = 0;

    /// All four numbers 0.
    void Reset();
    /// Reads "major[.minor[.release[.build]]]", each a number from 0 to 65535; missing
    /// numbers are 0. On anything else: Reset and false.
    bool LoadFromText(const QString& version);
    /// Reads the version compiled into the program.
    bool LoadCompiledIn() { return LoadFromText(compiledIn()); }

    /// The version the program was built with, as text ("1.0.0").
    static QString compiledIn();
};

} // namespace tess::info
