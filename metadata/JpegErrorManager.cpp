#include "metadata/JpegErrorManager.h"

#include <cstring>
#include <jerror.h>

namespace tess::metadata {

void JpegErrorManager::attach(jpeg_common_struct* cinfo)
{
    jpeg_std_error(&pub);
    pub.error_exit = &JpegErrorManager::errorExit;
    pub.emit_message = &JpegErrorManager::emitMessage;
    pub.output_message = &JpegErrorManager::outputMessage;
    progress.progress_monitor = &JpegErrorManager::progressMonitor;
    cinfo->err = &pub;
    cinfo->progress = &progress;
    message[0] = '\0';
    warnings = 0;
    reachedEnd = false;
}

JpegErrorManager* JpegErrorManager::of(jpeg_common_struct* cinfo)
{
    // pub is the first member of a standard-layout struct, so the addresses coincide.
    return reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

void JpegErrorManager::fail(jpeg_common_struct* cinfo, const char* reason)
{
    JpegErrorManager* self = of(cinfo);
    std::strncpy(self->message, reason, sizeof self->message - 1);
    self->message[sizeof self->message - 1] = '\0';
    std::longjmp(self->jump, 1);
}

void JpegErrorManager::errorExit(jpeg_common_struct* cinfo)
{
    JpegErrorManager* self = of(cinfo);
    (*cinfo->err->format_message)(cinfo, self->message);
    std::longjmp(self->jump, 1);
}

void JpegErrorManager::emitMessage(jpeg_common_struct* cinfo, int level)
{
    if (level >= 0)
        return; // trace messages: nothing to report
    JpegErrorManager* self = of(cinfo);
    ++cinfo->err->num_warnings;
    // Once the data has ended (the file ran out, or the end-of-image marker came early),
    // every restart interval left warns again while libjpeg finishes the picture in grey.
    // Those warnings read no data and are bounded by the picture size: they are not counted.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF ||
        (cinfo->is_decompressor &&
         reinterpret_cast<jpeg_decompress_struct*>(cinfo)->unread_marker == JPEG_EOI))
        self->reachedEnd = true;
    if (!self->reachedEnd && ++self->warnings > self->maxWarnings)
        fail(cinfo, "Too many corrupt-data warnings");
}

void JpegErrorManager::outputMessage(jpeg_common_struct*)
{
    // The program keeps no diagnostic log; libjpeg's messages are not printed.
}

void JpegErrorManager::progressMonitor(jpeg_common_struct* cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    JpegErrorManager* self = of(cinfo);
    const auto* dinfo = reinterpret_cast<jpeg_decompress_struct*>(cinfo);
    if (dinfo->input_scan_number > self->maxScans)
        fail(cinfo, "Too many scans in a progressive JPEG");
}

} // namespace tess::metadata
