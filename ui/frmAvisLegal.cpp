// The legal notice window: its layout, then its three reactions.

#include "ui/frmAvisLegal.h"

#include "ui/fila.h"
#include "ui/finestres.h"

#include <array>

namespace {

using forms::Font;

constexpr Font lletraTitol{.name = u"Arial", .points = 12, .bold = true, .underline = true};
constexpr Font lletraText{.name = u"Arial", .points = 9};

constexpr std::array<forms::ControlDef, frmAvisLegal::nombreControls> controls{{
    fila::etiqueta(u"Label1")
        .text(u"Calculadora dígits IBAN i codi BIC entitat bancària")
        .posicio(240, 120, 5685, 285)
        .lletra(lletraTitol)
        .fons(forms::colors::buttonFace)
        .autoAjust(),
    fila::etiqueta(u"Label2")
        .text(u"Aquest programa és gratuït. Podeu utilitzar-lo i distribuir-lo lliurement, sempre "
              u"que no el modifiqueu, no en cobreu cap import i el lliureu sencer, amb aquest avís "
              u"legal")
        .posicio(600, 840, 6015, 1095)
        .lletra(lletraText)
        .tinta(forms::colors::buttonText)
        .ajustParaules(),
    fila::etiqueta(u"Label3")
        .text(u"Merrowfield,S.L. no es fa responsable dels perjudicis que pugui causar l'ús "
              u"d'aquest programa ni dels errors que puguin contenir les dades de les entitats.")
        .posicio(600, 2280, 6015, 735)
        .lletra(lletraText)
        .tinta(forms::colors::buttonText)
        .ajustParaules(),
    fila::boto(u"btnSortir")
        .text(u"Tancar")
        .posicio(5400, 3480, 1215, 375)
        .cancelar()
        .ordreTab(3)
        .nomAccessible(u"Tancar"),
    // Draws nothing; it holds the focus when the notice opens, so that "Tancar"
    // does not show it.
    fila::quadre(u"Picture1")
        .posicio(1200, 3360, 855, 255)
        .fons(forms::colors::buttonFace)
        .ordreTab(4)
        .nomAccessible(u"Avís legal"),
}};

static_assert(controls[frmAvisLegal::btnSortir].name == u"btnSortir");
static_assert(controls[frmAvisLegal::Picture1].name == u"Picture1");

constexpr forms::FormDef formulari{
    .name = u"frmAvisLegal",
    .caption = u"Avís legal",
    .clientWidth = 6825,
    .clientHeight = 4050,
    .backColor = forms::colors::buttonFace,
    .border = forms::BorderStyle::FixedDialog,
    .icon = "icona",
    .controls = controls,
    .menus = {},
};

} // namespace

const forms::FormDef& frmAvisLegal::definition() const {
    return formulari;
}

void frmAvisLegal::onClick(int control) noexcept {
    if (control == btnSortir) {
        btnSortir_Click();
    }
}

void frmAvisLegal::Form_Load() noexcept {
    primeraActivacio_ = 0;
    mdlFuncions::centrarFormulari(host().window(), runtime().screen());
}

void frmAvisLegal::onFrameKnown() noexcept {
    mdlFuncions::centrarFormulari(host().window(), runtime().screen());
}

void frmAvisLegal::Form_Activate() noexcept {
    if (primeraActivacio_ != 0) {
        return;
    }
    primeraActivacio_ = 1;
    host().pictureBox(Picture1).setFocus();
}

void frmAvisLegal::btnSortir_Click() {
    host().window().unload();
}
