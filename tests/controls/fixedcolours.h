#pragma once

// Fixed system colours for the control tests, and a way to show a small image as a grid of letters so
// that a failing comparison shows where the pixels differ.

#include "controls/RzCommon.h"

#include <QHash>
#include <QImage>
#include <QString>

namespace vellumite::testing {

inline constexpr QRgb Background = 0xFF00FF00; // what a canvas holds before drawing
inline constexpr QRgb WindowColour = 0xFFFFFFF0;
inline constexpr QRgb WindowFrameColour = 0xFF000080;
inline constexpr QRgb FaceColour = 0xFFD4D0C8;
inline constexpr QRgb ShadowColour = 0xFF808080;
inline constexpr QRgb TextColour = 0xFF000000;
inline constexpr QRgb HighlightColour = 0xFFFFFFFF;
inline constexpr QRgb DarkShadowColour = 0xFF400000;
inline constexpr QRgb LightColour = 0xFFC0C0C0;

// Installs the table for as long as the object lives.
class FixedSystemColours
{
public:
    FixedSystemColours()
    {
        setSystemColorLookup([](int index) {
            switch (index) {
            case 5:
                return QColor::fromRgb(WindowColour);
            case 6:
                return QColor::fromRgb(WindowFrameColour);
            case 15:
                return QColor::fromRgb(FaceColour);
            case 16:
                return QColor::fromRgb(ShadowColour);
            case 18:
                return QColor::fromRgb(TextColour);
            case 20:
                return QColor::fromRgb(HighlightColour);
            case 21:
                return QColor::fromRgb(DarkShadowColour);
            case 22:
                return QColor::fromRgb(LightColour);
            default:
                return QColor(1, 2, 3);
            }
        });
    }
    ~FixedSystemColours() { setSystemColorLookup({}); }
    FixedSystemColours(const FixedSystemColours &) = delete;
    FixedSystemColours &operator=(const FixedSystemColours &) = delete;
};

// Letters for the fixed colours: '.' the untouched canvas, F window frame, B button face, S shadow,
// T button text, H highlight, D dark shadow, L 3D light; '?' anything else.
inline QString pixelGrid(const QImage &image, const QHash<QRgb, QChar> &extra = {})
{
    static const QHash<QRgb, QChar> legend {
        { Background, u'.' }, { WindowFrameColour, u'F' }, { FaceColour, u'B' },       { ShadowColour, u'S' },
        { TextColour, u'T' }, { HighlightColour, u'H' },   { DarkShadowColour, u'D' }, { LightColour, u'L' },
    };
    QString grid;
    for (int y = 0; y < image.height(); ++y) {
        if (y > 0)
            grid += u'|';
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xFF000000;
            grid += extra.value(pixel, legend.value(pixel, u'?'));
        }
    }
    return grid;
}

} // namespace vellumite::testing
