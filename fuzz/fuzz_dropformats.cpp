// Drop data from another program is untrusted: every format reader must stay inside it.

#include "main/core/dropformats.h"

#include <QByteArrayView>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    vellumite::readMozUrl(bytes);
    vellumite::readNetscapeUrl(bytes);
    vellumite::readUriList(bytes);
    vellumite::readPlainText(bytes);
    vellumite::readMozUrlDesc(bytes);
    vellumite::readFileGroupDescriptorTitle(bytes);
    return 0;
}
