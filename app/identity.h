#pragma once
// The program's identity as the desktop sees it: its name, version and maker,
// the icon its windows carry, and the desktop entry that Linux shells match its
// windows to. Call once the QApplication exists, before the first window shows.

namespace app {

void setApplicationIdentity();

} // namespace app
