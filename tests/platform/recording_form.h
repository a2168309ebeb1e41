#pragma once
// A small window for the binding's tests, a form that records the events it
// receives, and a fixture that shows it on the offscreen platform and fails fast
// (instead of hanging) when a modal window is left open.

#include "platform/qt_runtime.h"
#include "ui/forms.h"

#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testform {

// Rows of the test window's control table and of its menu table.
enum Row : int { txtA, txtB, btnCancel, btnOk, lblNote, picBox };
enum Menu : int { mnuFitxer, mnuObrir };

const forms::FormDef& definition();

// Table rows carry a name, which the test names show.
inline constexpr auto rowName = [](const auto& info) { return std::string(info.param.name); };

// Records events as "GotFocus txtA", "KeyPress txtA 97", "Click btnOk", "Activate"...
class RecordingForm : public forms::Form {
public:
    explicit RecordingForm(forms::Runtime& runtime) : forms::Form(runtime) {}
    const forms::FormDef& definition() const override { return testform::definition(); }

    std::vector<std::string> events;
    std::vector<std::string> eventsWith(std::string_view part) const;
    // Optional reactions after the recording.
    std::function<void()> whenLoaded = [] {};
    std::function<void(std::int16_t& keyAscii)> whenKeyPressed = [](std::int16_t&) {};
    std::function<void()> whenClicked = [] {};

    forms::FormHost& controls() { return host(); }
    void unload() {
        if (loaded()) {
            host().window().unload();
        }
    }

    void Form_Load() override {
        events.emplace_back("Load");
        whenLoaded();
    }
    void Form_Activate() override { events.emplace_back("Activate"); }
    void onClick(int row) override {
        record("Click", row);
        whenClicked();
    }
    void onChange(int row) override { record("Change", row); }
    void onKeyPress(int row, std::int16_t& keyAscii) override {
        record("KeyPress", row, " " + std::to_string(keyAscii));
        whenKeyPressed(keyAscii);
    }
    void onGotFocus(int row) override { record("GotFocus", row); }
    void onLostFocus(int row) override { record("LostFocus", row); }
    void onMenuClick(int menu) override;

private:
    void record(const char* event, int row, const std::string& detail = {});
};

} // namespace testform

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the form and waits until its window is active.
    void showActive(testform::RecordingForm& shown);
    QWidget* windowOf(const forms::Form& shown) const { return runtime.windowOf(shown); }
    template <class W = QWidget> W* control(const char* name) const {
        return windowOf(form)->findChild<W*>(QString::fromLatin1(name));
    }
    // Runs `action` once on the next modal window, when it is shown and active.
    void whenModalIsActive(std::function<void(QWidget&)> action);

    platform::QtRuntime runtime;
    testform::RecordingForm form{runtime};

private:
    QTimer watchdog_;
};
