#pragma once

#include <cstdlib>
#include <memory>

namespace vellumite {

// XCB hands replies and errors over in memory the caller frees with free().
struct XcbFree
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace vellumite
