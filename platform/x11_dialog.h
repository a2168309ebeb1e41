#pragma once
// What an X11 window manager needs to frame a fixed dialog as designed: no
// minimise or maximise button and no entry in the task bar or pager. Qt's window
// flags say so through the Motif hints, which some window managers (openbox)
// read for the border only; the window type and state that they do read are set
// here. Nothing happens on any other platform.

class QWidget;

namespace platform {

// Call after the native window exists and before each time it is mapped (a
// window manager forgets the state of a window it no longer shows).
void markFixedDialog(QWidget& window);

} // namespace platform
