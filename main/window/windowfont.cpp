#include "main/window/windowfont.h"

namespace vellumite {

QFont windowFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

} // namespace vellumite
