#include "main/core/colournames.h"

#include "base/integertext.h"

#include <array>

namespace vellumite {

namespace {

using namespace Qt::Literals::StringLiterals;

// A system colour: the platform's system-colour index above this base.
constexpr Colour SystemColour(quint32 index)
{
    return 0xFF000000u + index;
}

constexpr std::array<ColourName, 51> ColourTable = { {
    { 0x00000000, "clBlack"_L1 },
    { 0x00000080, "clMaroon"_L1 },
    { 0x00008000, "clGreen"_L1 },
    { 0x00008080, "clOlive"_L1 },
    { 0x00800000, "clNavy"_L1 },
    { 0x00800080, "clPurple"_L1 },
    { 0x00808000, "clTeal"_L1 },
    { 0x00808080, "clGray"_L1 },
    { 0x00C0C0C0, "clSilver"_L1 },
    { 0x000000FF, "clRed"_L1 },
    { 0x0000FF00, "clLime"_L1 },
    { 0x0000FFFF, "clYellow"_L1 },
    { 0x00FF0000, "clBlue"_L1 },
    { 0x00FF00FF, "clFuchsia"_L1 },
    { 0x00FFFF00, "clAqua"_L1 },
    { 0x00FFFFFF, "clWhite"_L1 },
    { 0x00C0DCC0, "clMoneyGreen"_L1 },
    { 0x00F0CAA6, "clSkyBlue"_L1 },
    { 0x00F0FBFF, "clCream"_L1 },
    { 0x00A4A0A0, "clMedGray"_L1 },
    { SystemColour(10), "clActiveBorder"_L1 },
    { SystemColour(2), "clActiveCaption"_L1 },
    { SystemColour(12), "clAppWorkSpace"_L1 },
    { SystemColour(1), "clBackground"_L1 },
    { SystemColour(15), "clBtnFace"_L1 },
    { SystemColour(20), "clBtnHighlight"_L1 },
    { SystemColour(16), "clBtnShadow"_L1 },
    { SystemColour(18), "clBtnText"_L1 },
    { SystemColour(9), "clCaptionText"_L1 },
    { 0x20000000, "clDefault"_L1 },
    { SystemColour(27), "clGradientActiveCaption"_L1 },
    { SystemColour(28), "clGradientInactiveCaption"_L1 },
    { SystemColour(17), "clGrayText"_L1 },
    { SystemColour(13), "clHighlight"_L1 },
    { SystemColour(14), "clHighlightText"_L1 },
    { SystemColour(26), "clHotLight"_L1 },
    { SystemColour(11), "clInactiveBorder"_L1 },
    { SystemColour(3), "clInactiveCaption"_L1 },
    { SystemColour(19), "clInactiveCaptionText"_L1 },
    { SystemColour(24), "clInfoBk"_L1 },
    { SystemColour(23), "clInfoText"_L1 },
    { SystemColour(4), "clMenu"_L1 },
    { SystemColour(30), "clMenuBar"_L1 },
    { SystemColour(29), "clMenuHighlight"_L1 },
    { SystemColour(7), "clMenuText"_L1 },
    { 0x1FFFFFFF, "clNone"_L1 },
    { SystemColour(0), "clScrollBar"_L1 },
    { SystemColour(21), "cl3DDkShadow"_L1 },
    { SystemColour(22), "cl3DLight"_L1 },
    { SystemColour(5), "clWindow"_L1 },
    { SystemColour(6), "clWindowFrame"_L1 },
} };

// Names are matched without regard to ASCII letter case only, never through Unicode case folding.
bool equalsIgnoringAsciiCase(QStringView text, QLatin1StringView name)
{
    if (text.size() != name.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t a = text[i].unicode();
        char16_t b = static_cast<unsigned char>(name[i].toLatin1());
        if (a >= u'A' && a <= u'Z')
            a += u'a' - u'A';
        if (b >= u'A' && b <= u'Z')
            b += u'a' - u'A';
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

std::span<const ColourName> colourNames()
{
    return ColourTable;
}

QString colourToText(Colour colour)
{
    for (const ColourName &row : ColourTable) {
        if (row.value == colour)
            return row.name;
    }
    return QString::asprintf("$%08X", colour);
}

std::optional<Colour> colourFromText(const QString &text)
{
    // Every name begins with "cl"; numbers never do.
    if (text.size() > 2 && equalsIgnoringAsciiCase(QStringView(text).first(2), "cl"_L1)) {
        for (const ColourName &row : ColourTable) {
            if (equalsIgnoringAsciiCase(text, row.name))
                return row.value;
        }
    }
    if (const std::optional<qint32> value = parseInteger(text, HexPrefix::AlsoZeroX))
        return static_cast<Colour>(*value);
    return std::nullopt;
}

} // namespace vellumite
