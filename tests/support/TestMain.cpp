#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace tess::test {

namespace {
std::unique_ptr<QTemporaryDir>& home()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void isolateEnvironment()
{
    home() =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tess-home-XXXXXX"));
    const QByteArray path = home()->path().toLocal8Bit();
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/.config");
    qputenv("XDG_DATA_HOME", path + "/.local/share");
    qputenv("XDG_CACHE_HOME", path + "/.cache");
    qunsetenv("XDG_DOCUMENTS_DIR");
    const QString runtime = home()->path() + QStringLiteral("/.runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString testHome()
{
    return home() ? home()->path() : QString();
}

} // namespace tess::test
