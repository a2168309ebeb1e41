#pragma once
// Routines both windows share: placing a window in the middle of the screen, and
// the keystroke filter of the account fields.

#include "ui/forms.h"

#include <cstdint>

namespace mdlFuncions {

// Puts the window in the middle of the whole screen (task bars included), top edge
// first; an odd leftover loses its half. A window whose offset does not fit in 32
// bits stays where it is.
void centrarFormulari(forms::Window& finestra, const forms::Screen& pantalla);

// Lets a typed key code (a UTF-16 unit) through only when it is a control key
// (below 30) or one of the digits "0" to "9"; any other code becomes 0, which
// drops the keystroke.
void filtrarDigit(std::int16_t& code);

} // namespace mdlFuncions
