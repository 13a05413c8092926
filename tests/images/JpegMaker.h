// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// JPEG files of every kind made with libjpeg itself, for the tests and the fuzzing seeds.

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace tilvo::test {

// A JPEG made with libjpeg directly, of any colour space, from a smooth pattern.
inline QByteArray MakeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                           bool progressive = false)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * components);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                row[x * components + c] = JSAMPLE((x * 4 + info.next_scanline * 2 + c * 60) % 256);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

} // namespace tilvo::test
