#include "platform/shell.h"

namespace vellumite {

Shell::~Shell() = default;

} // namespace vellumite
