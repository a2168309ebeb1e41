#pragma once
// A recording stand-in for the windowing toolkit. It builds a form's controls
// from its FormDef, keeps their state, raises the form's events the way the real
// binding does (Change only when a text really changes, LostFocus then GotFocus
// on every focus move, Activate again when a modal window closes), answers the
// question box from a script, and writes what happened into a log of short lines
// ("ask <prompt>", "focus <control>", "caption <label>=<text>", "pointer busy",
// "refresh", "unload <form>"...) so that tests can check order as well as state.
//
// A test plays the person: it shows a form, types keys or pastes text where the
// focus is, moves the focus with the mouse or Tab, clicks, presses Escape.

#include "ui/forms.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fake {

std::string utf8(std::u16string_view text);

class Runtime;
class Host;

// One control of a loaded form; it plays every kind, and the host checks that the
// form asks for it as the kind its row says.
class Control final : public forms::TextBox,
                      public forms::Label,
                      public forms::CommandButton,
                      public forms::PictureBox {
public:
    Control(Host& host, int row);

    const forms::ControlDef& def() const;

    // Text box text, or label and button caption.
    std::u16string value;
    int start = 0;
    int length = 0;
    forms::Color back = forms::colors::white;
    bool isEnabled = true;

    std::u16string text() const override { return value; }
    void setText(std::u16string_view text) override;
    int selStart() const override { return start; }
    int selLength() const override { return length; }
    void setSelStart(int start) override;
    void setSelLength(int length) override;
    forms::Color backColor() const override { return back; }
    void setBackColor(forms::Color color) override;
    void setFocus() override;
    std::u16string caption() const override { return value; }
    void setCaption(std::u16string_view caption) override;
    bool enabled() const override { return isEnabled; }

    // The person's editing: the selection is replaced, the maximum length holds.
    void insert(std::u16string_view text);
    void backspace();

private:
    void touch() const;

    Host& host_;
    int row_;
};

// A loaded form's window and controls.
class Host final : public forms::FormHost, public forms::Window {
public:
    Host(Runtime& runtime, forms::Form& form);

    forms::Form* form; // nullptr once unloaded
    const forms::FormDef& def;
    std::deque<Control> controls; // a deque never moves what it holds
    const forms::ControlDef& defOf(int row) const { return def.controls[std::size_t(row)]; }
    int rowOf(std::u16string_view name) const;
    int focus = -1;
    forms::Twips topEdge = 0;
    forms::Twips leftEdge = 0;

    Runtime& runtime() { return runtime_; }

    forms::Window& window() override { return *this; }
    forms::TextBox& textBox(int control) override;
    forms::Label& label(int control) override;
    forms::CommandButton& button(int control) override;
    forms::PictureBox& pictureBox(int control) override;

    forms::Twips height() const override;
    forms::Twips width() const override;
    forms::Twips top() const override { return topEdge; }
    forms::Twips left() const override { return leftEdge; }
    void setTop(forms::Twips top) override;
    void setLeft(forms::Twips left) override;
    void refresh() override;
    void unload() override;

private:
    Control& as(int control, forms::ControlKind kind);

    Runtime& runtime_;
};

class Runtime final : public forms::Runtime, public forms::Screen {
public:
    // 1024 by 768 pixels unless a test says otherwise.
    explicit Runtime(forms::Twips screenWidth = 15360, forms::Twips screenHeight = 11520);
    ~Runtime() override;

    // ---- What the forms see
    forms::Screen& screen() override { return *this; }
    int msgBox(std::u16string_view prompt, int style) override;
    void show(forms::Form& form, bool modal) override;
    forms::Twips height() const override { return screenHeight_; }
    forms::Twips width() const override { return screenWidth_; }
    forms::MousePointer mousePointer() const override { return pointer_; }
    void setMousePointer(forms::MousePointer pointer) override;

    // ---- The script and the record
    std::deque<int> answers;                      // replies to the questions, in turn
    std::function<void(forms::Form&)> whileModal; // what the person does in a modal window
    std::function<void()> onRefresh;              // a look at the world mid-reaction
    forms::Twips frameWidth = 120;                // outer size minus client size
    forms::Twips frameHeight = 690;
    std::vector<std::string> log;
    std::vector<std::string> logOf(std::string_view prefix) const;

    // ---- The person
    void activate(forms::Form& form);
    void type(forms::Form& form, std::u16string_view keys); // where the focus is
    void press(forms::Form& form, std::int16_t keyAscii);
    void paste(forms::Form& form, std::u16string_view text);
    void focus(forms::Form& form, std::u16string_view control); // a click into it
    void tab(forms::Form& form);
    void click(forms::Form& form, std::u16string_view control);
    void escape(forms::Form& form);
    void chooseMenu(forms::Form& form, std::u16string_view menu);

    // ---- Looking
    Host& host(const forms::Form& form);
    Control& control(const forms::Form& form, std::u16string_view name);
    std::u16string focused(const forms::Form& form);

    // ---- For the host and its controls
    void moveFocus(Host& host, int row);
    void changed(Host& host, int row);
    void unload(Host& host);

private:
    Host* find(const forms::Form& form);

    forms::Twips screenWidth_;
    forms::Twips screenHeight_;
    forms::MousePointer pointer_ = forms::MousePointer::Default;
    forms::Form* active_ = nullptr;
    // Unloaded hosts stay here, so a late call from a form is caught, not a crash.
    std::vector<std::unique_ptr<Host>> hosts_;
};

} // namespace fake
