#pragma once
// A row of a window's control table, written one property at a time: each row
// starts from the defaults and names only what differs, like a form designer's
// property sheet.

#include "ui/forms.h"

#include <string_view>

namespace fila {

class Fila {
public:
    // No row joins the Tab cycle unless it says so with ordreTab.
    constexpr Fila(forms::ControlKind kind, std::u16string_view nom) {
        def_.kind = kind;
        def_.name = nom;
        def_.tabStop = false;
    }

    constexpr Fila& text(std::u16string_view text) {
        def_.text = text;
        return *this;
    }
    constexpr Fila& posicio(forms::Twips left, forms::Twips top, forms::Twips width,
                            forms::Twips height) {
        def_.left = left;
        def_.top = top;
        def_.width = width;
        def_.height = height;
        return *this;
    }
    constexpr Fila& lletra(const forms::Font& font) {
        def_.font = font;
        return *this;
    }
    constexpr Fila& tinta(forms::Color color) {
        def_.foreColor = color;
        return *this;
    }
    // Without a background the window shows through.
    constexpr Fila& fons(forms::Color color) {
        def_.backColor = color;
        def_.opaque = true;
        return *this;
    }
    constexpr Fila& vora() {
        def_.border = true;
        return *this;
    }
    constexpr Fila& centrat() {
        def_.alignment = forms::Alignment::Center;
        return *this;
    }
    constexpr Fila& autoAjust() {
        def_.autoSize = true;
        return *this;
    }
    constexpr Fila& ajustParaules() {
        def_.wordWrap = true;
        return *this;
    }
    constexpr Fila& maxim(int caracters) {
        def_.maxLength = caracters;
        return *this;
    }
    constexpr Fila& cancelar() {
        def_.cancel = true;
        return *this;
    }
    // With tabStop false, Tab passes it by; the mouse and the program still reach it.
    constexpr Fila& ordreTab(int index, bool tabStop = true) {
        def_.tabIndex = index;
        def_.tabStop = tabStop;
        return *this;
    }
    constexpr Fila& punter(forms::ControlPointer pointer) {
        def_.pointer = pointer;
        return *this;
    }
    constexpr Fila& imatge(std::string_view recurs) {
        def_.picture = recurs;
        return *this;
    }
    constexpr Fila& nomAccessible(std::u16string_view nom) {
        def_.accessibleName = nom;
        return *this;
    }

    constexpr Fila& menuContextual(int menu) {
        def_.popupMenu = menu;
        return *this;
    }
    constexpr Fila& etiquetaDe(int fila) {
        def_.labelFor = fila;
        return *this;
    }

    constexpr operator forms::ControlDef() const { return def_; }

private:
    forms::ControlDef def_{};
};

constexpr Fila caixaText(std::u16string_view nom) {
    return Fila(forms::ControlKind::TextBox, nom);
}
constexpr Fila etiqueta(std::u16string_view nom) {
    return Fila(forms::ControlKind::Label, nom);
}
// Buttons keep the desktop's own colours.
constexpr Fila boto(std::u16string_view nom) {
    Fila fila(forms::ControlKind::CommandButton, nom);
    fila.tinta(forms::colors::buttonText).fons(forms::colors::buttonFace).centrat();
    return fila;
}
constexpr Fila imatge(std::u16string_view nom) {
    return Fila(forms::ControlKind::Image, nom);
}
// posicio holds the two end points: x1, y1, x2, y2.
constexpr Fila linia(std::u16string_view nom) {
    return Fila(forms::ControlKind::Line, nom);
}
constexpr Fila quadre(std::u16string_view nom) {
    return Fila(forms::ControlKind::PictureBox, nom);
}

} // namespace fila
