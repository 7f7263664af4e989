#include "exchange/core/exchangestores.h"

#include "main/core/browserdetection.h"

namespace vellumite {

std::unique_ptr<ExchangeStore> makeExchangeStore(StoreFormat, const BrowserPaths &)
{
    return nullptr;
}

} // namespace vellumite
