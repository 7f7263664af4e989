// Feeds arbitrary bytes to the session-store reader: it must refuse or read them, never crash.
#include "platform/linux/mozillasessionstore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vellumite::MozillaSessionStoreReader reader;
    reader.readData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
