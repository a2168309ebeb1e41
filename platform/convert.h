#pragma once
// Conversions between the forms layer's design units and Qt's: twips to pixels
// at a screen's logical resolution, 0x00BBGGRR and system colours to QColor,
// designed font names to fonts this machine has, and UTF-16 text to QString.

#include "ui/forms.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <string>
#include <string_view>

namespace platform {

// Nearest whole pixel; 15 twips are one pixel at 96 dots per inch.
int twipsToPixels(forms::Twips twips, double dotsPerInch);
forms::Twips pixelsToTwips(int pixels, double dotsPerInch);

// A system colour (high bit set) is taken from the palette; any other value is
// a fixed red, green and blue.
QColor toQColor(forms::Color color, const QPalette& palette);

// The installed family that stands in for a designed font; unknown names pass
// through so that fontconfig can still match them.
QString fontFamilyFor(std::u16string_view designedName);
QFont toQFont(const forms::Font& font);

Qt::Alignment toQtAlignment(forms::Alignment alignment);

QString toQString(std::u16string_view text);
std::u16string toU16String(const QString& text);

} // namespace platform
