// The bridge plugin behind screen_reader::listen, linked into the test as a static
// plugin: Qt loads it with the first accessibility event and keeps it to the end.
#include "tests/windows/screen_reader.h"

#include <QAccessibleBridge>
#include <QtPlugin>

#include <utility>

namespace {

std::function<void(QAccessibleEvent*)>& handler() {
    static std::function<void(QAccessibleEvent*)> listening;
    return listening;
}

class Bridge final : public QAccessibleBridge {
public:
    void setRootObject(QAccessibleInterface*) override {}
    void notifyAccessibilityUpdate(QAccessibleEvent* event) override {
        if (handler())
            handler()(event);
    }
};

} // namespace

class ScreenReaderPlugin final : public QAccessibleBridgePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "screen_reader.json")

public:
    // Qt keeps the bridge to the end and never deletes it: one that lives as long.
    QAccessibleBridge* create(const QString&) override {
        static Bridge bridge;
        return &bridge;
    }
};

namespace screen_reader {

void listen(std::function<void(QAccessibleEvent*)> listener) {
    handler() = std::move(listener);
}

} // namespace screen_reader

#include "screen_reader.moc"

Q_IMPORT_PLUGIN(ScreenReaderPlugin)
