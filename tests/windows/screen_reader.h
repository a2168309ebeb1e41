#pragma once
// A screen reader as the window tests see one: every accessibility event Qt raises
// reaches the handler while one is set. On the offscreen platform Qt hands its events
// to accessibility bridge plugins whether or not a reader is listening, and this one
// is built into the test; Qt's public API has no other way to hear them. X11 hands
// them to a listening AT-SPI reader instead, so there the handler hears nothing.

#include <functional>

class QAccessibleEvent;

namespace screen_reader {

// Pass an empty function to stop listening.
void listen(std::function<void(QAccessibleEvent*)> handler);

} // namespace screen_reader
