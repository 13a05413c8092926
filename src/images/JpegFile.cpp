// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/JpegFile.h"

#include "common/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

// clang-format off
#include <jpeglib.h> // before jerror.h, whose list of messages depends on jconfig.h
#include <jerror.h>
// clang-format on

// libjpeg reports fatal errors through error_exit, which must not return. Ours jumps back with
// longjmp to the function that set it up; those functions hold only plain C values, so no C++
// object is ever skipped by the jump.

namespace tilvo {

namespace {

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr long DecoderMemoryLimit = 256L << 20;
#else
// Enough for the coefficients of a progressive 20 000 × 20 000 colour picture.
constexpr long DecoderMemoryLimit = 4L << 30;
#endif
// Real progressive files have a dozen scans; thousands only serve to make decoding endless.
constexpr int MaxScans = 500;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int damage; // warnings that mean missing or damaged picture data
};

[[noreturn]] void JumpOut(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void KeepQuiet(j_common_ptr)
{}

void CountWarnings(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    ++manager->base.num_warnings;
    switch (manager->base.msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
#if defined(C_ARITH_CODING_SUPPORTED) || defined(D_ARITH_CODING_SUPPORTED)
    case JWRN_ARITH_BAD_CODE:
#endif
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        ++manager->damage;
        break;
    default:
        break;
    }
}

void SetUpErrors(ErrorManager& manager)
{
    jpeg_std_error(&manager.base);
    manager.base.error_exit = JumpOut;
    manager.base.output_message = KeepQuiet;
    manager.base.emit_message = CountWarnings;
    manager.damage = 0;
}

// ---- Writing

constexpr std::size_t OutputBufferSize = 64 * 1024;

struct DeviceDestination
{
    jpeg_destination_mgr base;
    QIODevice* device;
    JOCTET buffer[OutputBufferSize];
};

void StartOutput(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<DeviceDestination*>(info->dest);
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = OutputBufferSize;
}

boolean FlushOutput(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<DeviceDestination*>(info->dest);
    if (dest->device->write(reinterpret_cast<const char*>(dest->buffer), OutputBufferSize) !=
        qint64(OutputBufferSize))
        ERREXIT(info, JERR_FILE_WRITE);
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = OutputBufferSize;
    return TRUE;
}

void EndOutput(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<DeviceDestination*>(info->dest);
    const qint64 used = qint64(OutputBufferSize - dest->base.free_in_buffer);
    if (used > 0 && dest->device->write(reinterpret_cast<const char*>(dest->buffer), used) != used)
        ERREXIT(info, JERR_FILE_WRITE);
}

// The rows of the picture to write, top-down.
struct RowSource
{
    const uchar* first;
    qsizetype bytesPerLine;
    int width;
    int height;
    bool grey;
};

// Encodes the rows into the device; false on any failure.
bool Encode(const RowSource& rows, DeviceDestination* dest, int quality, uchar* colourRow)
{
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = &errors.base;
    SetUpErrors(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    dest->base.init_destination = StartOutput;
    dest->base.empty_output_buffer = FlushOutput;
    dest->base.term_destination = EndOutput;
    info.dest = &dest->base;

    info.image_width = JDIMENSION(rows.width);
    info.image_height = JDIMENSION(rows.height);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_YCbCr);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const uchar* in = rows.first + qsizetype(info.next_scanline) * rows.bytesPerLine;
        JSAMPROW row = const_cast<JSAMPROW>(in);
        if (rows.grey) {
            // A grey level becomes equal blue, green and red.
            for (int x = 0; x < rows.width; ++x)
                colourRow[3 * x] = colourRow[3 * x + 1] = colourRow[3 * x + 2] = in[x];
            row = colourRow;
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

[[noreturn]] void ThrowWriteError()
{
    throw Error(QString::fromLatin1(JpegWriteError));
}

void WriteRows(const RowSource& rows, const QString& path, int quality)
{
    if (rows.width <= 0 || rows.height <= 0 || rows.width > JPEG_MAX_DIMENSION ||
        rows.height > JPEG_MAX_DIMENSION)
        ThrowWriteError();
    std::vector<uchar> colourRow;
    std::unique_ptr<DeviceDestination> dest;
    try {
        if (rows.grey)
            colourRow.resize(std::size_t(rows.width) * 3);
        dest = std::make_unique<DeviceDestination>();
    } catch (const std::bad_alloc&) {
        ThrowWriteError();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ThrowWriteError();
    dest->device = &file;
    if (!Encode(rows, dest.get(), std::clamp(quality, 1, 100), colourRow.data())) {
        file.cancelWriting();
        ThrowWriteError();
    }
    if (!file.commit())
        ThrowWriteError();
}

// ---- Reading

void WatchScans(j_common_ptr info)
{
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans)
        ERREXIT(info, JERR_NOTIMPL);
}

// The decoder between the two steps of a read: the header is known, the pixels are not.
struct Reader
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    jpeg_progress_mgr progress;
    bool created = false;

    ~Reader()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

using SourceSetUp = void (*)(j_decompress_ptr info, void* context);

// Reads the header; false when it is not a usable JPEG.
bool ReadHeader(Reader& reader, SourceSetUp setUp, void* context)
{
    reader.info.err = &reader.errors.base;
    SetUpErrors(reader.errors);
    if (setjmp(reader.errors.jump))
        return false;
    jpeg_create_decompress(&reader.info);
    reader.created = true;
    reader.info.mem->max_memory_to_use = DecoderMemoryLimit;
    reader.progress.progress_monitor = WatchScans;
    reader.info.progress = &reader.progress;
    setUp(&reader.info, context);
    if (jpeg_read_header(&reader.info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (reader.info.num_components == 1) {
        reader.info.out_color_space = JCS_GRAYSCALE;
    } else if (reader.info.num_components == 3) {
        reader.info.out_color_space = JCS_EXT_BGR;
    } else {
        return false;
    }
    return true;
}

// Decodes every row into the picture, which has the header's size and format.
bool ReadPixels(Reader& reader, Picture* picture)
{
    if (setjmp(reader.errors.jump))
        return false;
    jpeg_start_decompress(&reader.info);
    if (int(reader.info.output_width) != picture->width() ||
        int(reader.info.output_height) != picture->height() ||
        reader.info.output_components != picture->bytesPerPixel())
        return false;
    while (reader.info.output_scanline < reader.info.output_height) {
        JSAMPROW rows[16];
        const int first = int(reader.info.output_scanline);
        const int count = std::min<int>(16, picture->height() - first);
        for (int i = 0; i < count; ++i)
            rows[i] = picture->row(first + i);
        if (jpeg_read_scanlines(&reader.info, rows, JDIMENSION(count)) == 0)
            return false;
        if (reader.errors.damage > 0)
            return false;
    }
    return reader.errors.damage == 0;
}

bool Decode(Picture& picture, SourceSetUp setUp, void* context)
{
    try {
        Reader reader;
        if (!ReadHeader(reader, setUp, context))
            return false;
        const int width = int(reader.info.image_width);
        const int height = int(reader.info.image_height);
        if (PictureSizeProblem(width, height) || width == 0 || height == 0)
            return false;
        Picture result = MakePictureForWriting(
            width, height,
            reader.info.num_components == 1 ? PixelFormat::Grey8 : PixelFormat::Bgr24);
        if (!ReadPixels(reader, &result))
            return false;
        picture = std::move(result);
        return true;
    } catch (...) {
        return false;
    }
}

void FromFile(j_decompress_ptr info, void* context)
{
    jpeg_stdio_src(info, static_cast<FILE*>(context));
}

void FromMemory(j_decompress_ptr info, void* context)
{
    const auto* bytes = static_cast<const QByteArray*>(context);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(bytes->constData()),
                 static_cast<unsigned long>(bytes->size()));
}

} // namespace

void WriteJpegFile(const Picture& picture, const QString& path, int quality)
{
    if (picture.isEmpty())
        ThrowWriteError();
    WriteRows(RowSource{picture.row(0), picture.bytesPerLine(), picture.width(), picture.height(),
                        picture.format() == PixelFormat::Grey8},
              path, quality);
}

void WriteJpegFile(const QImage& image, const QString& path, int quality)
{
    bool grey = false;
    switch (image.format()) {
    case QImage::Format_BGR888:
        break;
    case QImage::Format_Grayscale8:
    case QImage::Format_Indexed8:
        grey = true;
        break;
    default:
        ThrowWriteError();
    }
    if (image.isNull())
        ThrowWriteError();
    WriteRows(
        RowSource{image.constBits(), image.bytesPerLine(), image.width(), image.height(), grey},
        path, quality);
}

bool ReadJpegFile(Picture& picture, const QString& path)
{
    try {
        if (path.isEmpty() || !QFileInfo(path).isFile())
            return false;
        FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
        if (!file)
            return false;
        const bool read = Decode(picture, FromFile, file);
        std::fclose(file);
        return read;
    } catch (...) {
        return false;
    }
}

bool DecodeJpeg(Picture& picture, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return false;
    return Decode(picture, FromMemory, const_cast<QByteArray*>(&bytes));
}

} // namespace tilvo
