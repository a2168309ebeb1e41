// The fake toolkit: controls that keep their state, and a runtime that raises
// events and records what the forms do.

#include "tests/ui/fake_runtime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fake {

// Enough for the Basic Multilingual Plane, where every text of the program lies.
std::string utf8(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out +=
                {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return out;
}

namespace {

// A form that breaks the contract cannot go on being exercised.
[[noreturn]] void broken(const std::string& why) {
    std::fprintf(stderr, "fake runtime: %s\n", why.c_str());
    std::abort();
}

bool focusable(const forms::ControlDef& def) {
    return (def.kind == forms::ControlKind::TextBox ||
            def.kind == forms::ControlKind::CommandButton ||
            def.kind == forms::ControlKind::PictureBox) &&
           def.tabStop;
}

} // namespace

// ---- Control --------------------------------------------------------------------

Control::Control(Host& host, int row)
    : value(host.defOf(row).text), back(host.defOf(row).backColor), host_(host), row_(row) {}

const forms::ControlDef& Control::def() const {
    return host_.defOf(row_);
}

void Control::touch() const {
    if (host_.form == nullptr) {
        ADD_FAILURE() << utf8(def().name) << " used after its window was unloaded";
    }
}

void Control::setText(std::u16string_view text) {
    touch();
    host_.runtime().log.push_back("text " + utf8(def().name) + "=" + utf8(text));
    if (text != value) {
        value = text;
        start = static_cast<int>(value.size());
        length = 0;
        host_.runtime().changed(host_, row_);
    }
}

void Control::setSelStart(int s) {
    touch();
    start = std::clamp(s, 0, static_cast<int>(value.size()));
    length = 0;
}

void Control::setSelLength(int l) {
    touch();
    length = std::clamp(l, 0, static_cast<int>(value.size()) - start);
}

void Control::setBackColor(forms::Color color) {
    touch();
    back = color;
}

void Control::setFocus() {
    touch();
    host_.runtime().moveFocus(host_, row_);
}

void Control::setCaption(std::u16string_view caption) {
    touch();
    host_.runtime().log.push_back("caption " + utf8(def().name) + "=" + utf8(caption));
    value = caption;
}

void Control::insert(std::u16string_view text) {
    std::u16string edited = value;
    edited.erase(std::size_t(start), std::size_t(length));
    if (def().maxLength > 0) {
        text = text.substr(0, std::size_t(std::max(0, def().maxLength - int(edited.size()))));
    }
    edited.insert(std::size_t(start), text);
    if (edited != value) {
        value = edited;
        start += static_cast<int>(text.size());
        length = 0;
        host_.runtime().changed(host_, row_);
    }
}

void Control::backspace() {
    if (length == 0 && start > 0) {
        --start;
        length = 1;
    }
    insert(u"");
}

// ---- Host -----------------------------------------------------------------------

Host::Host(Runtime& runtime, forms::Form& f) : form(&f), def(f.definition()), runtime_(runtime) {
    for (int row = 0; row < static_cast<int>(def.controls.size()); ++row) {
        controls.emplace_back(*this, row);
    }
}

int Host::rowOf(std::u16string_view name) const {
    for (int row = 0; row < static_cast<int>(def.controls.size()); ++row) {
        if (defOf(row).name == name) {
            return row;
        }
    }
    broken("no control " + utf8(name));
}

Control& Host::as(int control, forms::ControlKind kind) {
    if (control < 0 || control >= static_cast<int>(controls.size()) ||
        defOf(control).kind != kind) {
        broken("row " + std::to_string(control) + " asked for as a kind it is not");
    }
    return controls[std::size_t(control)];
}

forms::TextBox& Host::textBox(int control) {
    return as(control, forms::ControlKind::TextBox);
}
forms::Label& Host::label(int control) {
    return as(control, forms::ControlKind::Label);
}
forms::CommandButton& Host::button(int control) {
    return as(control, forms::ControlKind::CommandButton);
}
forms::PictureBox& Host::pictureBox(int control) {
    return as(control, forms::ControlKind::PictureBox);
}

forms::Twips Host::height() const {
    return def.clientHeight + runtime_.frameHeight;
}
forms::Twips Host::width() const {
    return def.clientWidth + runtime_.frameWidth;
}

void Host::setTop(forms::Twips top) {
    runtime_.log.push_back("top " + std::to_string(std::llround(top)));
    topEdge = top;
}

void Host::setLeft(forms::Twips left) {
    runtime_.log.push_back("left " + std::to_string(std::llround(left)));
    leftEdge = left;
}

void Host::refresh() {
    runtime_.log.push_back("refresh");
    if (runtime_.onRefresh) {
        runtime_.onRefresh();
    }
}

void Host::unload() {
    runtime_.unload(*this);
}

// ---- Runtime --------------------------------------------------------------------

Runtime::Runtime(forms::Twips screenWidth, forms::Twips screenHeight)
    : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

// The forms, made after their runtime, are gone by now: only the script is checked.
Runtime::~Runtime() {
    EXPECT_TRUE(answers.empty()) << answers.size() << " scripted answers never asked for";
}

int Runtime::msgBox(std::u16string_view prompt, int style) {
    log.push_back("ask " + utf8(prompt));
    EXPECT_EQ(style, forms::vbYesNo);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << utf8(prompt);
        return forms::vbNo;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void Runtime::show(forms::Form& form, bool modal) {
    Host* h = find(form);
    if (h == nullptr) {
        h = hosts_.emplace_back(std::make_unique<Host>(*this, form)).get();
        log.push_back("load " + utf8(h->def.name));
        form.attach(h);
        form.Form_Load();
    }
    log.push_back("show " + utf8(h->def.name) + (modal ? " modal" : ""));
    // Like the toolkit, the focus first lands on the lowest tab stop.
    int first = -1;
    for (int row = 0; row < static_cast<int>(h->controls.size()); ++row) {
        if (focusable(h->defOf(row)) &&
            (first < 0 || h->defOf(row).tabIndex < h->defOf(first).tabIndex)) {
            first = row;
        }
    }
    if (h->focus < 0 && first >= 0) {
        moveFocus(*h, first);
    }
    forms::Form* previous = active_;
    activate(form);
    if (!modal) {
        return;
    }
    if (whileModal) {
        whileModal(form);
    }
    if (Host* still = find(form)) {
        ADD_FAILURE() << "modal window left open: a real show would never return";
        unload(*still);
    }
    if (previous != nullptr && find(*previous) != nullptr) {
        activate(*previous);
    }
}

void Runtime::setMousePointer(forms::MousePointer pointer) {
    log.push_back(pointer == forms::MousePointer::Busy ? "pointer busy" : "pointer default");
    pointer_ = pointer;
}

std::vector<std::string> Runtime::logOf(std::string_view prefix) const {
    std::vector<std::string> lines;
    std::copy_if(log.begin(), log.end(), std::back_inserter(lines),
                 [&](const std::string& line) { return line.starts_with(prefix); });
    return lines;
}

void Runtime::activate(forms::Form& form) {
    log.push_back("activate " + utf8(form.definition().name));
    active_ = &form;
    form.Form_Activate();
}

void Runtime::type(forms::Form& form, std::u16string_view keys) {
    for (const char16_t key : keys) {
        press(form, static_cast<std::int16_t>(key));
    }
}

// The key goes to the field that had the focus when it was pressed, even if the
// reaction moved the focus on.
void Runtime::press(forms::Form& form, std::int16_t keyAscii) {
    Host& h = host(form);
    const int row = h.focus;
    if (row < 0 || h.defOf(row).kind != forms::ControlKind::TextBox) {
        ADD_FAILURE() << "typing with no entry field focused";
        return;
    }
    form.onKeyPress(row, keyAscii);
    if (h.form == nullptr || keyAscii == 0) {
        return;
    }
    if (keyAscii == 8) {
        h.controls[std::size_t(row)].backspace();
    } else if (keyAscii >= 32) {
        h.controls[std::size_t(row)].insert(std::u16string(1, static_cast<char16_t>(keyAscii)));
    }
}

void Runtime::paste(forms::Form& form, std::u16string_view text) {
    Host& h = host(form);
    ASSERT_GE(h.focus, 0) << "pasting with nothing focused";
    h.controls[std::size_t(h.focus)].insert(text);
}

void Runtime::focus(forms::Form& form, std::u16string_view control) {
    Host& h = host(form);
    moveFocus(h, h.rowOf(control));
}

void Runtime::tab(forms::Form& form) {
    Host& h = host(form);
    std::vector<int> cycle;
    for (int row = 0; row < static_cast<int>(h.controls.size()); ++row) {
        if (focusable(h.defOf(row))) {
            cycle.push_back(row);
        }
    }
    ASSERT_FALSE(cycle.empty());
    std::sort(cycle.begin(), cycle.end(),
              [&](int a, int b) { return h.defOf(a).tabIndex < h.defOf(b).tabIndex; });
    const auto at = std::find(cycle.begin(), cycle.end(), h.focus);
    moveFocus(h, at == cycle.end() || at + 1 == cycle.end() ? cycle.front() : *(at + 1));
}

void Runtime::click(forms::Form& form, std::u16string_view control) {
    form.onClick(host(form).rowOf(control));
}

void Runtime::escape(forms::Form& form) {
    Host& h = host(form);
    for (int row = 0; row < static_cast<int>(h.controls.size()); ++row) {
        if (h.defOf(row).cancel) {
            form.onClick(row);
            return;
        }
    }
}

void Runtime::chooseMenu(forms::Form& form, std::u16string_view menu) {
    const auto& menus = host(form).def.menus;
    const auto at = std::find_if(menus.begin(), menus.end(),
                                 [&](const forms::MenuDef& m) { return m.name == menu; });
    ASSERT_NE(at, menus.end()) << "no menu " << utf8(menu);
    form.onMenuClick(static_cast<int>(at - menus.begin()));
}

Host* Runtime::find(const forms::Form& form) {
    for (auto& h : hosts_) {
        if (h->form == &form) {
            return h.get();
        }
    }
    return nullptr;
}

Host& Runtime::host(const forms::Form& form) {
    Host* h = find(form);
    if (h == nullptr) {
        broken("the form is not loaded");
    }
    return *h;
}

Control& Runtime::control(const forms::Form& form, std::u16string_view name) {
    Host& h = host(form);
    return h.controls[std::size_t(h.rowOf(name))];
}

std::u16string Runtime::focused(const forms::Form& form) {
    Host& h = host(form);
    return h.focus < 0 ? std::u16string() : std::u16string(h.defOf(h.focus).name);
}

// Synchronous, as in the toolkit: the field left hears of it before the field entered.
void Runtime::moveFocus(Host& h, int row) {
    if (h.focus == row) {
        return;
    }
    const int previous = h.focus;
    h.focus = row;
    log.push_back("focus " + utf8(h.defOf(row).name));
    if (previous >= 0) {
        h.form->onLostFocus(previous);
    }
    if (h.form != nullptr && h.focus == row) {
        h.form->onGotFocus(row);
    }
}

void Runtime::changed(Host& h, int row) {
    h.form->onChange(row);
}

void Runtime::unload(Host& h) {
    if (h.form == nullptr) {
        ADD_FAILURE() << "unloaded twice";
        return;
    }
    log.push_back("unload " + utf8(h.def.name));
    if (active_ == h.form) {
        active_ = nullptr;
    }
    h.form->attach(nullptr);
    h.form = nullptr;
}

} // namespace fake
