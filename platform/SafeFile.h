#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

namespace tess::platform {

/// Replaces (or creates) the file at \a destPath with \a bytes so that, whatever fails and
/// whenever the process ends, the destination holds either its old bytes or all of the new
/// ones. Returns false, with the system's reason in \a error (e.g. "No space left on device"),
/// when the new bytes are not in place; the destination is then untouched.
///
/// How: the bytes go to a hidden temporary file in the destination's folder, named
/// ".NAME.tessarine-XXXXXX" (NAME cut to 200 bytes, XXXXXX letters and digits); every write, the
/// final flush, the file's fsync and the rename over the destination are checked; the folder is
/// synced after the rename. Temporary files of that exact pattern for the same NAME that are older
/// than a minute (left by a process that was killed) are removed first.
///
/// An existing destination keeps its permissions, and its owner and group where the process may
/// set them. A destination whose mode has no write permission is refused (root included), as is
/// anything that is not a regular file. A symbolic link is followed: the file it points to is
/// replaced and the link stays; a link that points nowhere is refused.
bool writeFileSafely(const QString& destPath, QByteArrayView bytes, QString* error = nullptr);

/// writeFileSafely for bytes that come in parts: write() each part, then commit(). Nothing
/// reaches the destination before commit() succeeds; a writer destroyed without a successful
/// commit() removes its temporary file. After the first failure every call returns false and
/// the first reason is kept.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(const QString& destPath);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    bool write(QByteArrayView bytes);
    /// Puts the written bytes in place of the destination; \a error as writeFileSafely.
    bool commit(QString* error = nullptr);

private:
    struct State;
    std::unique_ptr<State> d;
};

/// The steps of a safe write that a test can make fail.
enum class SafeWriteStep
{
    Create, ///< making the temporary file
    Write,  ///< each write of a full buffer while the bytes come in
    Flush,  ///< each write of the last, partly filled buffer in commit()
    Sync,   ///< the temporary file's fsync
    Rename, ///< the rename over the destination
};

/// Test seam: the \a nth time (counted from 1, from this call on, in the whole process) that a
/// safe write reaches \a step, the step fails as if the system had reported \a systemError (an
/// errno value). One fault is armed at a time; \a nth = 0 disarms it.
void setSafeWriteFault(SafeWriteStep step, int nth, int systemError);

/// The fixed part of the temporary files' names: ".NAME" + this + six letters or digits.
inline constexpr char SafeWriteTempInfix[] = ".tessarine-";

} // namespace tess::platform
