#pragma once
// The forms layer: what a window of this program needs from a windowing toolkit,
// and nothing more.
//
// A window is a subclass of forms::Form. It describes itself as data (a FormDef:
// caption, client size, colours, and a table of ControlDef rows in the window's
// own units, twips and 0xBBGGRR colours) and reacts to events through the virtual
// on...() entry points, which each window routes to reactions named as a form
// designer would name them (txtBanc_Change, btnCalcular_Click, Form_Activate...).
//
// A forms::Runtime turns a FormDef into a real window (the Qt binding in
// platform/) or into a recording fake (the tests), and hands the form a FormHost
// through which it reads and changes its controls while it is loaded. Controls are
// addressed by their row in the FormDef's control table, menus by their row in
// its menu table.
//
// Nothing here throws across an event reaction and nothing here knows Qt.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace forms {

// 1/1440 inch; 15 twips make one pixel at 96 dpi.
using Twips = double;

// 0x00BBGGRR: blue in the high byte, red in the low byte. A value with the high
// bit set names a system colour by its index in the low byte instead.
using Color = std::uint32_t;

namespace colors {
inline constexpr Color white = 0xFFFFFF;
inline constexpr Color black = 0x000000;
// System colours: follow the desktop's palette.
inline constexpr Color buttonFace = 0x8000000F; // dialog and button face
inline constexpr Color buttonText = 0x80000012; // text on a button face
} // namespace colors

constexpr bool isSystemColor(Color c) {
    return (c & 0x80000000u) != 0;
}

// The application-wide mouse pointer, with the runtime's own values.
enum class MousePointer : int {
    Default = 0, // the toolkit's arrow
    Busy = 11,   // hourglass / wait cursor
};

// The message box styles the windows use, with the runtime's values.
inline constexpr int vbOKOnly = 0;       // one OK button: something to tell, nothing to ask
inline constexpr int vbYesNo = 4;        // Yes and No, Yes the default, no icon
inline constexpr int vbInformation = 64; // with vbOKOnly: the information icon
inline constexpr int vbOK = 1;           // the answer to a box with one OK button
inline constexpr int vbYes = 6;          // the answer Yes
inline constexpr int vbNo = 7;           // the answer No

// The code KeyPress passes for Enter.
inline constexpr std::int16_t vbKeyReturn = 13;

enum class ControlKind {
    TextBox,       // single-line entry field
    Label,         // static text
    CommandButton, // push button
    Image,         // a picture shown at its own size
    Line,          // a straight line; left/top/width/height hold x1/y1/x2/y2
    PictureBox,    // a plain box; with no picture it draws only its background
};

enum class Alignment { Left, Center, Right };

// The pointer shown while the mouse is over a control.
enum class ControlPointer {
    Default, // inherit
    Hand,    // the program's pointing-hand pointer
};

// A font as designed; the binding substitutes fonts the machine lacks.
struct Font {
    std::u16string_view name = u"MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// One control of a window, as laid out at design time.
struct ControlDef {
    std::u16string_view name; // "txtBanc", "Label1(0)": for reading, testing, accessibility
    ControlKind kind = ControlKind::Label;
    std::u16string_view text; // caption of a label or button, initial text of a text box
    Twips left = 0;
    Twips top = 0;
    Twips width = 0; // an auto-size label takes the size of its one-line text instead
    Twips height = 0;
    Font font{};
    Color foreColor = colors::black;
    Color backColor = colors::white;
    bool opaque = false; // false: the window shows through (labels)
    bool border = false; // a fixed single border
    Alignment alignment = Alignment::Left;
    bool autoSize = false;  // labels: size to the text, one line
    bool wordWrap = false;  // labels without auto-size: break lines at word boundaries
    int maxLength = 0;      // text boxes; 0 is unlimited
    bool cancel = false;    // buttons: Escape anywhere in the window clicks it
    bool isDefault = false; // buttons: Enter anywhere in the window clicks it
    bool tabStop = true;    // controls that can take the focus
    int tabIndex = -1;      // keyboard order; -1 for controls that never take the focus
    ControlPointer pointer = ControlPointer::Default;
    std::string_view picture; // images: the picture's resource name
    // The name a screen reader announces where the control's own text names nothing
    // (a field, whose text is its value, or a plain box). Empty: the control's text.
    std::u16string_view accessibleName;
    // A caption label: the row of the control it names, which a screen reader then
    // reads with this caption beside its own text. -1: none.
    int labelFor = -1;
    // The menu a right click opens over the control (a menu off the bar), by its
    // row in the menu table. A text box keeps its edit menu, which Shift+F10 and
    // the Menu key open too, and shows this menu's items below its own, after a
    // separator. -1: none.
    int popupMenu = -1;
};

// A menu entry; parent is the row of its menu in the same table, or -1 for the bar.
struct MenuDef {
    std::u16string_view name;
    std::u16string_view caption; // "&" marks the access key
    int parent = -1;
    bool visible = true; // a top menu that is false stays off the bar: a context menu
    bool enabled = true;
    // A key chord that raises the item's Click anywhere in the window, in the
    // portable form "Ctrl+Shift+C", also while the item is disabled: the reaction
    // then decides what the chord does (refuse it with a beep). Empty: none.
    std::u16string_view shortcut;
};

enum class BorderStyle {
    Sizable,     // ordinary frame: resize, minimise, maximise, shown in the task bar
    FixedDialog, // fixed size, no minimise or maximise, not in the task bar
};

struct FormDef {
    std::u16string_view name;
    std::u16string_view caption;
    Twips clientWidth = 0;
    Twips clientHeight = 0;
    Color backColor = colors::buttonFace;
    BorderStyle border = BorderStyle::Sizable;
    std::string_view icon; // resource name of the window icon
    std::span<const ControlDef> controls;
    std::span<const MenuDef> menus;
};

// ---- What a loaded window offers its form --------------------------------------

class Window {
public:
    virtual ~Window() = default;
    // Outer size and position, frame and title bar included, in twips.
    virtual Twips height() const = 0;
    virtual Twips width() const = 0;
    virtual Twips top() const = 0;
    virtual Twips left() const = 0;
    virtual void setTop(Twips top) = 0;
    virtual void setLeft(Twips left) = 0;
    // Repaint now, before returning.
    virtual void refresh() = 0;
    // Close and destroy the window. The form must not touch its controls afterwards;
    // unloading the last window ends the program.
    virtual void unload() = 0;
};

class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::u16string text() const = 0;
    // Raises Change when the text differs from the current one.
    virtual void setText(std::u16string_view text) = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    virtual void setSelStart(int start) = 0;   // collapses the selection there
    virtual void setSelLength(int length) = 0; // extends it from the start
    virtual Color backColor() const = 0;
    virtual void setBackColor(Color color) = 0;
    virtual void setFocus() = 0;
};

class Label {
public:
    virtual ~Label() = default;
    virtual std::u16string caption() const = 0;
    virtual void setCaption(std::u16string_view caption) = 0;
    // Shown while the pointer rests on the label; empty: none.
    virtual void setToolTip(std::u16string_view tip) = 0;
};

class MenuItem {
public:
    virtual ~MenuItem() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

class CommandButton {
public:
    virtual ~CommandButton() = default;
    virtual bool enabled() const = 0;
    virtual void setFocus() = 0;
};

class PictureBox {
public:
    virtual ~PictureBox() = default;
    virtual void setFocus() = 0;
};

// A loaded window: its frame and its controls, by row of the control table.
// Asking for a control as a kind it is not is a programming error.
class FormHost {
public:
    virtual ~FormHost() = default;
    virtual Window& window() = 0;
    virtual TextBox& textBox(int control) = 0;
    virtual Label& label(int control) = 0;
    virtual CommandButton& button(int control) = 0;
    virtual PictureBox& pictureBox(int control) = 0;
    virtual MenuItem& menu(int row) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    // The whole screen, task bars included, in twips.
    virtual Twips height() const = 0;
    virtual Twips width() const = 0;
    virtual MousePointer mousePointer() const = 0;
    virtual void setMousePointer(MousePointer pointer) = 0;
};

class Form;

class Runtime {
public:
    virtual ~Runtime() = default;
    virtual Screen& screen() = 0;
    // Modal box captioned with the application title: a question (vbYesNo) returns
    // vbYes or vbNo; a word to read (vbOKOnly | vbInformation) returns vbOK. A line
    // break ('\n') in the prompt starts a new line, and a screen reader reads them all.
    virtual int msgBox(std::u16string_view prompt, int style) = 0;
    // Loads the form if it is not loaded (Form_Load runs), shows it, and with
    // modal set returns only once it has been unloaded.
    virtual void show(Form& form, bool modal) = 0;
    // Puts the text on the desktop's clipboard, for other programs to paste.
    virtual void setClipboardText(std::u16string_view text) = 0;
    // The desktop's warning sound: what was asked for cannot be done.
    virtual void beep() = 0;
};

// ---- The window's side ----------------------------------------------------------

class Form {
public:
    explicit Form(Runtime& runtime) : runtime_(runtime) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    virtual const FormDef& definition() const = 0;

    // Events, raised by the runtime while the form is loaded.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void onClick(int /*control*/) {}
    virtual void onChange(int /*control*/) {}
    // keyAscii: the typed character's code; set it to 0 to drop the keystroke.
    virtual void onKeyPress(int /*control*/, std::int16_t& /*keyAscii*/) {}
    virtual void onGotFocus(int /*control*/) {}
    virtual void onLostFocus(int /*control*/) {}
    virtual void onMenuClick(int /*menu*/) {}
    // The desktop has framed the shown window: its outer size is now the real one,
    // where Form_Load could only see an estimate.
    virtual void onFrameKnown() {}
    // The person pastes `text` into a text box. True: the form has taken it, and the
    // text box gets nothing; false: it is pasted as usual.
    virtual bool onPaste(int /*control*/, std::u16string_view /*text*/) { return false; }

    // The runtime attaches the host while the form is loaded and detaches it
    // (nullptr) when the window is unloaded.
    void attach(FormHost* host) { host_ = host; }
    bool loaded() const { return host_ != nullptr; }

protected:
    Runtime& runtime() { return runtime_; }
    FormHost& host() { return *host_; }

private:
    Runtime& runtime_;
    FormHost* host_ = nullptr;
};

} // namespace forms
