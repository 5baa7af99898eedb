#include "editor/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace marvolt {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// libjpeg's own handler ends the process; damaged data must not.
[[noreturn]] void JumpOut(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr) {}

// Decodes into a malloc'd RGB buffer. Only plain C objects live here, since a
// failure leaves by longjmp.
bool DecodeRgb(const unsigned char* data, unsigned long size, unsigned char** pixels, int* width,
               int* height) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOut;
    errors.base.output_message = Quiet;
    unsigned char* volatile buffer = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const size_t stride = static_cast<size_t>(info.output_width) * 3;
    buffer = static_cast<unsigned char*>(std::malloc(stride * info.output_height));
    if (!buffer) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = buffer + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    *width = static_cast<int>(info.output_width);
    *height = static_cast<int>(info.output_height);
    jpeg_destroy_decompress(&info);
    *pixels = buffer;
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    if (!DecodeRgb(reinterpret_cast<const unsigned char*>(data.constData()),
                   static_cast<unsigned long>(data.size()), &pixels, &width, &height))
        return {};
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels + static_cast<size_t>(y) * width * 3,
                    static_cast<size_t>(width) * 3);
    std::free(pixels);
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace marvolt
