#pragma once

// A small filesystem of its own for tests of a full disk: a tmpfs mounted on a temporary
// folder. Only on Linux, and only where the process may mount (root, in most containers).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace tess::test {

class SmallDisk
{
public:
    explicit SmallDisk(int kilobytes)
    {
#ifdef Q_OS_LINUX
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + 'k';
        m_mounted =
            m_dir.isValid() && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(),
                                       "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0;
#else
        Q_UNUSED(kilobytes);
#endif
    }

    ~SmallDisk()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
    }

    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const
    {
        return m_mounted;
    }
    QString filePath(const QString& name) const
    {
        return m_dir.filePath(name);
    }

    /// Takes all free space but \a leaveBytes (rounded down to whole pages) with a file of its
    /// own; false when that could not be done.
    bool fill(qint64 leaveBytes = 0)
    {
#ifdef Q_OS_LINUX
        const QByteArray path = QFile::encodeName(filePath(QStringLiteral("filler")));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray page(4096, 'f');
        qint64 size = 0;
        for (ssize_t n; (n = ::write(fd, page.constData(), size_t(page.size()))) > 0;)
            size += n;
        const bool ok = ::ftruncate(fd, std::max<qint64>(0, size - leaveBytes)) == 0;
        return ::close(fd) == 0 && ok;
#else
        Q_UNUSED(leaveBytes);
        return false;
#endif
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace tess::test
