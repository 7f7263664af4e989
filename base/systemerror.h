#pragma once

#include <QString>
#include <cstring>

namespace vellumite {

// The system's own words for an errno value ("Permission denied"), as the messages quote them.
inline QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace vellumite
