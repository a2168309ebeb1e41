// Window placement and the digit filter: the two routines that treat a window or a
// keystroke rather than an account number.

#include "ui/finestres.h"

#include "core/text.h"

namespace mdlFuncions {

void centrarFormulari(forms::Window& finestra, const forms::Screen& pantalla) {
    const auto sobraAlt = text::toInt32(pantalla.height() - finestra.height());
    const auto sobraAmple = text::toInt32(pantalla.width() - finestra.width());
    // A difference this large comes from a broken measure, not from a real screen;
    // moving only one edge would leave the window half placed.
    if (!sobraAlt || !sobraAmple) {
        return;
    }
    finestra.setTop(*sobraAlt / 2);
    finestra.setLeft(*sobraAmple / 2);
}

void filtrarDigit(std::int16_t& code) {
    // The code carries a UTF-16 unit, so a negative value is a character from U+8000
    // up (CJK, either half of an emoji), not a control key: compare it unsigned.
    const auto caracter = static_cast<char16_t>(code);
    // Below 30 are Backspace and the editing shortcuts (copy, cut, paste).
    if (caracter < 30) {
        return;
    }
    if (!text::isDigit(caracter)) {
        code = 0;
    }
}

} // namespace mdlFuncions
