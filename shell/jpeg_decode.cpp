#include "shell/jpeg_decode.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Larger pictures are taken for corrupt headers.
constexpr long long MaxPixels = 64LL * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings mean corrupt or missing data: treated as errors. Trace messages
// are dropped.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0)
        ErrorExit(info);
}

// The functions that libjpeg may leave through ErrorExit hold only plain
// data, so that the jump skips no destructor.
bool ReadHeader(jpeg_decompress_struct* info, ErrorManager* err, const QByteArray* bytes)
{
    if (setjmp(err->jump))
        return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(bytes->constData()),
                 static_cast<unsigned long>(bytes->size()));
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    return info->output_components == 3;
}

bool ReadRows(jpeg_decompress_struct* info, ErrorManager* err, QImage* image)
{
    if (setjmp(err->jump))
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    QImage image;
    bool ok = ReadHeader(&info, &err, &bytes);
    if (ok) {
        const long long pixels = static_cast<long long>(info.output_width) * info.output_height;
        if (pixels > 0 && pixels <= MaxPixels)
            image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                           QImage::Format_RGB888);
        ok = !image.isNull() && ReadRows(&info, &err, &image);
    }
    jpeg_destroy_decompress(&info);
    if (!ok)
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}
