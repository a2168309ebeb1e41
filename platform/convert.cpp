// Conversions between the forms layer's design units and Qt's: twips, colours,
// fonts and text. Pure functions; nothing here needs a running application.

#include "platform/convert.h"

#include <QStringView>

#include <cmath>
#include <cstdint>

namespace platform {

namespace {

constexpr double twipsPerInch = 1440.0;

// Low-byte indices of the desktop colours the forms layer can name.
QPalette::ColorRole systemColorRole(std::uint32_t index) {
    switch (index) {
    case 0x05: // window background
        return QPalette::Base;
    case 0x08: // window text
        return QPalette::Text;
    case 0x07: // menu text
    case 0x09: // caption text
        return QPalette::WindowText;
    case 0x02: // active caption
    case 0x0D: // highlight
        return QPalette::Highlight;
    case 0x0E: // highlighted text
        return QPalette::HighlightedText;
    case 0x10: // button shadow
        return QPalette::Dark;
    case 0x12: // button text
        return QPalette::ButtonText;
    case 0x14: // button highlight
        return QPalette::Light;
    case 0x15: // 3D dark shadow
        return QPalette::Shadow;
    case 0x16: // 3D light
        return QPalette::Midlight;
    case 0x17: // tooltip text
        return QPalette::ToolTipText;
    case 0x18: // tooltip background
        return QPalette::ToolTipBase;
    default: // button face (0x0F), menus, dialogs and the rest
        return QPalette::Window;
    }
}

} // namespace

int twipsToPixels(forms::Twips twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / twipsPerInch));
}

forms::Twips pixelsToTwips(int pixels, double dotsPerInch) {
    return pixels * twipsPerInch / dotsPerInch;
}

QColor toQColor(forms::Color color, const QPalette& palette) {
    if (forms::isSystemColor(color)) {
        if ((color & 0xFFu) == 0x11) { // grey (disabled) text
            return palette.color(QPalette::Disabled, QPalette::Text);
        }
        return palette.color(QPalette::Active, systemColorRole(color & 0xFFu));
    }
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

QString fontFamilyFor(std::u16string_view designedName) {
#ifdef Q_OS_WIN
    // MS Sans Serif is a bitmap font, which Qt draws a size too large: it asks GDI for
    // the cell height it knows as the character height. Its outline twin has the same
    // widths, scales to the designed sizes, and comes with every Windows since 2000.
    if (designedName == u"MS Sans Serif") {
        return QStringLiteral("Microsoft Sans Serif");
    }
#else
    // Windows has the designed fonts; other systems have these stand-ins.
    if (designedName == u"MS Sans Serif" || designedName == u"Arial") {
        return QStringLiteral("Liberation Sans");
    }
    if (designedName == u"Comic Sans MS") {
        return QStringLiteral("Comic Neue");
    }
#endif
    return toQString(designedName);
}

QFont toQFont(const forms::Font& font) {
    QFont result(fontFamilyFor(font.name));
    result.setPointSizeF(font.points);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
#ifndef Q_OS_WIN
    // The stand-in sets text about a twentieth wider than MS Sans Serif, to whose widths
    // the windows were laid out: a caption would run into the field beside it.
    if (font.name == u"MS Sans Serif") {
        result.setLetterSpacing(QFont::PercentageSpacing, 95);
    }
#endif
    return result;
}

Qt::Alignment toQtAlignment(forms::Alignment alignment) {
    switch (alignment) {
    case forms::Alignment::Center:
        return Qt::AlignHCenter;
    case forms::Alignment::Right:
        return Qt::AlignRight;
    case forms::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QString toQString(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

std::u16string toU16String(const QString& text) {
    return text.toStdU16String();
}

} // namespace platform
