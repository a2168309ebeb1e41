#pragma once
// A recording stand-in for the windowing toolkit. It keeps the controls of the
// loaded form, raises the form's events as the real binding does (Change only when
// a text really changes, LostFocus before GotFocus), answers questions from a
// script and logs what the form does:
// "ask <prompt>" (a question), "tell <prompt>" (a box with one OK button),
// "<label>=<caption>", "focus <control>" (every request, even for the focused
// control), "pointer busy", "refresh", "load <form>", "activate <form>", "beep".

#include "ui/forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace fake {

// One control, whatever its kind, of a loaded form.
struct Control final : forms::TextBox, forms::Label, forms::CommandButton, forms::PictureBox {
    Control(std::u16string& l, forms::Form*& f, int& focused, std::u16string_view n, int r)
        : log(l), form(f), focus(focused), name(n), row(r) {}
    std::u16string& log;
    forms::Form*& form; // nullptr once unloaded
    int& focus;         // the row of the form's focused control
    std::u16string name;
    int row;
    std::u16string value;
    int start = 0, length = 0;
    forms::Color back = 0;
    std::u16string tip;

    std::u16string text() const override { return value; }
    int selStart() const override { return start; }
    int selLength() const override { return length; }
    void setSelStart(int s) override { start = std::clamp(s, 0, int(value.size())), length = 0; }
    void setSelLength(int l) override { length = std::clamp(l, 0, int(value.size()) - start); }
    forms::Color backColor() const override { return back; }
    void setBackColor(forms::Color color) override { back = color; }
    std::u16string caption() const override { return value; }
    void setCaption(std::u16string_view caption) override {
        log += name + u"=" + std::u16string(caption) + u"; ";
        value = caption;
    }
    void setToolTip(std::u16string_view t) override { tip = t; }
    bool enabled() const override { return true; }
    void setText(std::u16string_view text) override {
        if (text != value)
            value = text, start = int(value.size()), length = 0, form->onChange(row);
    }
    void setFocus() override {
        log += u"focus " + name + u"; ";
        if (const int previous = std::exchange(focus, row); previous != row) {
            if (previous >= 0)
                form->onLostFocus(previous);
            if (form != nullptr && focus == row)
                form->onGotFocus(row);
        }
    }
};

struct MenuItem final : forms::MenuItem {
    bool on = true;
    bool enabled() const override { return on; }
    void setEnabled(bool e) override { on = e; }
};

// A loaded form's window; its frame adds 120 twips across and 690 down.
struct Host final : forms::FormHost, forms::Window {
    Host(std::u16string& l, forms::Form& f) : log(l), form(&f), def(f.definition()) {
        for (const auto& c : def.controls)
            controls.emplace_back(log, form, focus, c.name, int(controls.size())).value = c.text;
        for (const auto& m : def.menus)
            menus.emplace_back().on = m.enabled;
    }
    std::u16string& log;
    forms::Form* form;
    const forms::FormDef& def;
    int focus = -1;
    std::deque<Control> controls;
    std::deque<MenuItem> menus;
    forms::Twips topEdge = -7, leftEdge = -7; // where no real window would be put

    forms::Window& window() override { return *this; }
    forms::TextBox& textBox(int row) override { return controls.at(row); }
    forms::Label& label(int row) override { return controls.at(row); }
    forms::CommandButton& button(int row) override { return controls.at(row); }
    forms::PictureBox& pictureBox(int row) override { return controls.at(row); }
    forms::MenuItem& menu(int row) override { return menus.at(row); }
    forms::Twips height() const override { return def.clientHeight + 690; }
    forms::Twips width() const override { return def.clientWidth + 120; }
    forms::Twips top() const override { return topEdge; }
    forms::Twips left() const override { return leftEdge; }
    void setTop(forms::Twips top) override { topEdge = top; }
    void setLeft(forms::Twips left) override { leftEdge = left; }
    void refresh() override { log += u"refresh; "; }
    void unload() override { std::exchange(form, nullptr)->attach(nullptr); }
};

// One window at a time: the calculator's reactions open no other.
class Runtime final : public forms::Runtime, public forms::Screen {
public:
    ~Runtime() override { EXPECT_EQ(answers, "") << "scripted answers never asked for"; }

    std::u16string log;  // each line ends in "; "
    std::string answers; // the replies to the questions, in turn: 'Y' or 'N'
    forms::Twips screenWidth = 15360, screenHeight = 11520; // 1024 by 768 pixels
    forms::MousePointer pointer = forms::MousePointer::Default;
    std::unique_ptr<Host> window; // kept after unloading, to be looked at
    std::u16string clipboard;

    forms::Screen& screen() override { return *this; }
    forms::Twips height() const override { return screenHeight; }
    forms::Twips width() const override { return screenWidth; }
    forms::MousePointer mousePointer() const override { return pointer; }
    void setMousePointer(forms::MousePointer p) override {
        log +=
            (pointer = p) == forms::MousePointer::Busy ? u"pointer busy; " : u"pointer default; ";
    }
    int msgBox(std::u16string_view prompt, int style) override {
        if (style == (forms::vbOKOnly | forms::vbInformation)) {
            log += u"tell " + std::u16string(prompt) + u"; ";
            return forms::vbOK;
        }
        log += u"ask " + std::u16string(prompt) + u"; ";
        EXPECT_TRUE(style == forms::vbYesNo && !answers.empty()) << "an unexpected question";
        const bool yes = answers.starts_with('Y');
        answers.erase(0, 1);
        return yes ? forms::vbYes : forms::vbNo;
    }
    void show(forms::Form& form, bool modal) override {
        EXPECT_FALSE(modal) << "no reaction under test opens a modal window";
        if (!form.loaded()) {
            log += u"load " + std::u16string(form.definition().name) + u"; ";
            form.attach((window = std::make_unique<Host>(log, form)).get());
            form.Form_Load();
        }
        log += u"activate " + std::u16string(form.definition().name) + u"; ";
        form.Form_Activate();
    }

    void setClipboardText(std::u16string_view text) override { clipboard = text; }
    void beep() override { log += u"beep; "; }

    // The person's paste into the focused field: offered to the form first, or else
    // the selection is replaced.
    void paste(std::u16string_view text) {
        if (Control& c = window->controls.at(window->focus); !window->form->onPaste(c.row, text)) {
            std::u16string edited = c.value;
            edited.replace(c.start, c.length, text);
            c.start += int(text.size()), c.length = 0;
            if (edited != c.value)
                c.value = edited, window->form->onChange(c.row);
        }
    }
};

} // namespace fake
