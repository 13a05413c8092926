// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes given to the BMP reader either give a picture or a tilvo::Error, never a crash;
// a picture read is written again and must read back the same.
#include "common/Error.h"
#include "images/BmpFile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const tilvo::Picture picture = tilvo::DecodeBmp(bytes);
        if (!picture.isEmpty() && !(tilvo::DecodeBmp(tilvo::EncodeBmp(picture)) == picture))
            std::abort();
    } catch (const tilvo::Error&) {
    }
    return 0;
}
