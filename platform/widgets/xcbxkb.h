#pragma once

// XCB's header of the keyboard extension names a field `explicit`, a keyword of C++: the field is
// renamed while the header is read.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
