#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <mutex>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace tess::platform {

namespace {

/// Bytes gathered before each write to the temporary file.
constexpr qsizetype BufferSize = 64 * 1024;

struct Fault
{
    std::mutex mutex;
    SafeWriteStep step = SafeWriteStep::Create;
    int nth = 0;
    int seen = 0;
    int error = 0;
};

std::atomic<bool> faultArmed{false};

Fault& fault()
{
    static Fault f;
    return f;
}

/// The error a test wants for this occurrence of \a step, or 0 to go on.
int injectedError(SafeWriteStep step)
{
    if (!faultArmed.load(std::memory_order_acquire))
        return 0;
    Fault& f = fault();
    const std::lock_guard lock(f.mutex);
    if (f.nth <= 0 || f.step != step || ++f.seen != f.nth)
        return 0;
    f.nth = 0;
    faultArmed.store(false, std::memory_order_release);
    return f.error;
}

} // namespace

void setSafeWriteFault(SafeWriteStep step, int nth, int systemError)
{
    Fault& f = fault();
    const std::lock_guard lock(f.mutex);
    f.step = step;
    f.nth = nth;
    f.seen = 0;
    f.error = systemError;
    faultArmed.store(nth > 0, std::memory_order_release);
}

#ifdef Q_OS_UNIX

namespace {

constexpr int SuffixLength = 6;
constexpr time_t LeftoverAgeSeconds = 60;
/// Bytes of the destination's name kept in its temporary file's name, so that the whole name
/// stays within the usual limit of 255 bytes.
constexpr qsizetype MaxNameInTemp = 200;
constexpr char SuffixLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QByteArray randomSuffix()
{
    QByteArray suffix(SuffixLength, Qt::Uninitialized);
    for (char& c : suffix)
        c = SuffixLetters[QRandomGenerator::global()->bounded(int(sizeof SuffixLetters) - 1)];
    return suffix;
}

bool isSuffixLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

struct SafeFileWriter::State
{
    QString error;
    bool failed = false;
    int folderFd = -1;
    int fd = -1;
    QByteArray name;     ///< the destination's name in its folder
    QByteArray tempName; ///< while the temporary file exists
    QByteArray buffer;

    explicit State(const QString& destPath) { open(destPath); }
    ~State() { discard(); }

    QByteArray tempPrefix() const { return '.' + name.left(MaxNameInTemp) + SafeWriteTempInfix; }

    bool fail(int systemError) { return failWith(qt_error_string(systemError)); }

    bool failWith(const QString& reason)
    {
        if (!failed) {
            failed = true;
            error = reason;
        }
        discard();
        return false;
    }

    void discard()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (!tempName.isEmpty())
            ::unlinkat(folderFd, tempName.constData(), 0);
        tempName.clear();
        if (folderFd >= 0)
            ::close(folderFd);
        folderFd = -1;
    }

    bool open(const QString& destPath)
    {
        QFileInfo info(destPath);
        if (info.isSymLink()) {
            // The file at the end of the links is replaced; the links stay as they are.
            const QString target = info.canonicalFilePath();
            if (target.isEmpty())
                return fail(ENOENT);
            info = QFileInfo(target);
        }
        name = QFile::encodeName(info.fileName());
        if (name.isEmpty())
            return fail(EISDIR);
        const QByteArray folder = QFile::encodeName(info.absolutePath());
        folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd < 0)
            return fail(errno);

        struct stat old = {};
        const bool existed = ::fstatat(folderFd, name.constData(), &old, 0) == 0;
        if (!existed && errno != ENOENT)
            return fail(errno);
        if (existed) {
            if (S_ISDIR(old.st_mode))
                return fail(EISDIR);
            if (!S_ISREG(old.st_mode))
                return failWith(QStringLiteral("Not a regular file"));
            // Root may write anything; a file whose mode forbids writing is still refused.
            if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
                return fail(EACCES);
            if (::faccessat(folderFd, name.constData(), W_OK, AT_EACCESS) != 0)
                return fail(errno);
        }

        removeLeftovers();
        // A file that replaces another is private until it has the other's owner and mode.
        const mode_t createMode = existed ? S_IRUSR | S_IWUSR : 0666;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            if (const int injected = injectedError(SafeWriteStep::Create))
                return fail(injected);
            const QByteArray candidate = tempPrefix() + randomSuffix();
            fd = ::openat(folderFd, candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          createMode);
            if (fd >= 0)
                tempName = candidate;
            else if (errno != EEXIST)
                return fail(errno);
        }
        if (fd < 0)
            return fail(EEXIST);
        if (existed) {
            // The owner first: changing it clears the set-user-ID and set-group-ID bits.
            if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
                ::fchown(fd, old.st_uid, old.st_gid) != 0)
                (void)::fchown(fd, uid_t(-1), old.st_gid); // at least the group, if allowed
            if (::fchmod(fd, old.st_mode & 07777) != 0)
                return fail(errno);
        }
        return true;
    }

    /// Removes temporary files of this destination that a killed process left behind. A
    /// recent one may belong to a save still running, and is kept.
    void removeLeftovers() const
    {
        const int listFd = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0); // closedir() closes it
        if (listFd < 0)
            return;
        DIR* dir = ::fdopendir(listFd);
        if (!dir) {
            ::close(listFd);
            return;
        }
        const QByteArray prefix = tempPrefix();
        const time_t now = ::time(nullptr);
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArrayView entryName(entry->d_name);
            if (entryName.size() != prefix.size() + SuffixLength || !entryName.startsWith(prefix) ||
                !std::all_of(entryName.end() - SuffixLength, entryName.end(), isSuffixLetter))
                continue;
            struct stat st = {};
            if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode) && now - st.st_mtime > LeftoverAgeSeconds)
                ::unlinkat(folderFd, entry->d_name, 0);
        }
        ::closedir(dir);
    }

    bool writeOut(QByteArrayView bytes, SafeWriteStep step)
    {
        while (!bytes.isEmpty()) {
            if (const int injected = injectedError(step))
                return fail(injected);
            const ssize_t n = ::write(fd, bytes.data(), size_t(bytes.size()));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(errno);
            if (n == 0)
                return fail(ENOSPC);
            bytes = bytes.sliced(qsizetype(n));
        }
        return true;
    }

    bool put(QByteArrayView bytes)
    {
        if (failed)
            return false;
        while (!bytes.isEmpty()) {
            if (buffer.isEmpty() && bytes.size() >= BufferSize) {
                if (!writeOut(bytes.first(BufferSize), SafeWriteStep::Write))
                    return false;
                bytes = bytes.sliced(BufferSize);
                continue;
            }
            const qsizetype n = std::min(BufferSize - buffer.size(), bytes.size());
            buffer.append(bytes.first(n));
            bytes = bytes.sliced(n);
            if (buffer.size() == BufferSize) {
                if (!writeOut(buffer, SafeWriteStep::Write))
                    return false;
                buffer.clear();
            }
        }
        return true;
    }

    bool finish()
    {
        if (failed)
            return false;
        if (!writeOut(buffer, SafeWriteStep::Flush))
            return false;
        buffer.clear();
        if (const int injected = injectedError(SafeWriteStep::Sync))
            return fail(injected);
        if (::fsync(fd) != 0)
            return fail(errno);
        const int closing = fd;
        fd = -1;
        if (::close(closing) != 0 && errno != EINTR)
            return fail(errno);
        if (const int injected = injectedError(SafeWriteStep::Rename))
            return fail(injected);
        if (::renameat(folderFd, tempName.constData(), folderFd, name.constData()) != 0)
            return fail(errno);
        tempName.clear();
        // The new file is in place: a folder that cannot be synced (some filesystems refuse)
        // does not make the save a failure.
        (void)::fsync(folderFd);
        discard();
        return true;
    }
};

#else // Other systems: Qt's save file, with every write and the flush checked here.

struct SafeFileWriter::State
{
    QSaveFile file;
    QString error;
    bool failed = false;

    explicit State(const QString& destPath) : file(destPath)
    {
        file.setDirectWriteFallback(false);
        const int injected = injectedError(SafeWriteStep::Create);
        if (injected || !file.open(QIODevice::WriteOnly))
            fail(injected);
    }

    bool fail(int injected)
    {
        if (!failed) {
            failed = true;
            error = injected ? qt_error_string(injected) : file.errorString();
        }
        file.cancelWriting();
        return false;
    }

    bool put(QByteArrayView bytes)
    {
        if (failed)
            return false;
        const int injected = injectedError(SafeWriteStep::Write);
        if (injected || file.write(bytes.data(), bytes.size()) != bytes.size())
            return fail(injected);
        return true;
    }

    bool finish()
    {
        if (failed)
            return false;
        int injected = injectedError(SafeWriteStep::Flush);
        if (injected || !file.flush())
            return fail(injected);
        injected = injectedError(SafeWriteStep::Rename);
        if (injected || !file.commit())
            return fail(injected);
        return true;
    }
};

#endif

SafeFileWriter::SafeFileWriter(const QString& destPath) : d(std::make_unique<State>(destPath)) {}

SafeFileWriter::~SafeFileWriter() = default;

bool SafeFileWriter::write(QByteArrayView bytes)
{
    return d->put(bytes);
}

bool SafeFileWriter::commit(QString* error)
{
    const bool ok = d->finish();
    if (!ok && error)
        *error = d->error;
    return ok;
}

bool writeFileSafely(const QString& destPath, QByteArrayView bytes, QString* error)
{
    SafeFileWriter writer(destPath);
    writer.write(bytes);
    return writer.commit(error);
}

} // namespace tess::platform
