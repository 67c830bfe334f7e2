#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>

namespace tess::metadata {

/// Owns libjpeg's error handling for one codec object: a fatal error jumps back to the
/// setjmp() point of the caller instead of ending the process, warnings are counted, and
/// progressive streams are cut off after a bounded number of scans.
///
/// Usage: attach() before jpeg_create_*, then `if (setjmp(errors.jump)) { ... failed ... }`.
/// The function that calls setjmp() must keep everything it changes after that point in
/// objects reached through a pointer or reference (not in its own locals), and no frame with
/// destructors may lie between it and the libjpeg call that fails.
struct JpegErrorManager
{
    jpeg_error_mgr pub{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    long warnings = 0;
    bool reachedEnd = false; ///< the stream ran out and libjpeg is finishing with grey
    long maxWarnings = 1000; ///< more corrupt-data warnings than this end the decoding
    int maxScans = 1000;     ///< more scans than this end the decoding of a progressive file

    /// Installs this manager's error and progress hooks in \a cinfo.
    void attach(jpeg_common_struct* cinfo);

    /// Ends the current libjpeg operation with \a reason as its message (longjmp).
    [[noreturn]] static void fail(jpeg_common_struct* cinfo, const char* reason);

private:
    [[noreturn]] static void errorExit(jpeg_common_struct* cinfo);
    static void emitMessage(jpeg_common_struct* cinfo, int level);
    static void outputMessage(jpeg_common_struct* cinfo);
    static void progressMonitor(jpeg_common_struct* cinfo);
    static JpegErrorManager* of(jpeg_common_struct* cinfo);
};

} // namespace tess::metadata
