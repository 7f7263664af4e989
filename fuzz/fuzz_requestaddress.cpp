// A stored link is the user's, or an imported browser store's: whatever it holds, the address that is
// requested is a web address with nothing in it a request line could not carry.

#include "platform/urltester.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray link(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<QByteArray> address = vellumite::requestAddress(link);
    if (!address)
        return 0;
    if (!vellumite::isRequestableUrl(*address))
        std::abort();
    // Past the host, every blank and byte beyond ASCII is percent-encoded.
    const qsizetype start = address->indexOf("://") + 3;
    qsizetype path = start;
    while (path < address->size() && !QByteArrayView("/?#").contains(address->at(path)))
        ++path;
    for (qsizetype i = path; i < address->size(); ++i) {
        const auto byte = static_cast<unsigned char>(address->at(i));
        if (byte <= 0x20 || byte >= 0x7F || byte == '#')
            std::abort();
    }
    return 0;
}
