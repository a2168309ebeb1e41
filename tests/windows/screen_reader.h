#pragma once
// A screen reader as the window tests see one: every accessibility event Qt raises
// reaches the handler while one is set. Qt hands its events to accessibility bridge
// plugins on every platform, whether or not a platform reader is listening, and this
// one is built into the test; Qt's public API has no other way to hear them.

#include <functional>

class QAccessibleEvent;

namespace screen_reader {

// Pass an empty function to stop listening.
void listen(std::function<void(QAccessibleEvent*)> handler);

} // namespace screen_reader
