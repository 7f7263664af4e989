#pragma once

#include <QLineEdit>
#include <limits>

namespace vellumite {

// A line edit of a stored text takes the text whole: the bookmark file keeps titles and links of any
// length (data: and javascript: links run to tens of thousands of characters), where the edit's own
// limit would cut them at 32,767 characters in silence.
inline void keepWholeText(QLineEdit &edit)
{
    edit.setMaxLength(std::numeric_limits<int>::max());
}

} // namespace vellumite
