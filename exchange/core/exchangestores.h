#pragma once

#include "exchange/core/exchangerun.h"

#include <memory>

namespace vellumite {

struct BrowserPaths;

// The real store of a format at the place `paths` names for it.
std::unique_ptr<ExchangeStore> makeExchangeStore(StoreFormat format, const BrowserPaths &paths);

} // namespace vellumite
