// The legal notice window: its layout, then its three reactions.

#include "ui/frmAvisLegal.h"

#include "ui/fila.h"
#include "ui/finestres.h"

#include <array>

namespace {

using forms::Font;
using F = frmAvisLegal;

constexpr std::array<std::u16string_view, F::nombreControls> nomsControls{
    FRMAVISLEGAL_CONTROLS(TAULES_NOM, TAULES_NOM_DE_MATRIU)};
constexpr std::u16string_view nom(F::Control control) {
    return nomsControls[control];
}

constexpr Font lletraTitol{.name = u"Arial", .points = 12, .bold = true, .underline = true};
constexpr Font lletraText{.name = u"Arial", .points = 9};

constexpr std::array<forms::ControlDef, frmAvisLegal::nombreControls> controls{{
    fila::etiqueta(nom(F::Label1))
        .text(u"Calculadora dígits IBAN i codi BIC entitat bancària")
        .posicio(240, 120, 5685, 285)
        .lletra(lletraTitol)
        .fons(forms::colors::buttonFace)
        .autoAjust(),
    fila::etiqueta(nom(F::Label2))
        .text(u"Aquest programa és gratuït. Podeu utilitzar-lo i distribuir-lo lliurement, sempre "
              u"que no el modifiqueu, no en cobreu cap import i el lliureu sencer, amb aquest avís "
              u"legal")
        .posicio(600, 840, 6015, 1095)
        .lletra(lletraText)
        .tinta(forms::colors::buttonText)
        .ajustParaules(),
    fila::etiqueta(nom(F::Label3))
        .text(u"Merrowfield,S.L. no es fa responsable dels perjudicis que pugui causar l'ús "
              u"d'aquest programa ni dels errors que puguin contenir les dades de les entitats.")
        .posicio(600, 2280, 6015, 735)
        .lletra(lletraText)
        .tinta(forms::colors::buttonText)
        .ajustParaules(),
    fila::boto(nom(F::btnSortir))
        .text(u"Tancar")
        .posicio(5400, 3480, 1215, 375)
        .cancelar()
        .ordreTab(3)
        .nomAccessible(u"Tancar"),
    // Draws nothing; it holds the focus when the notice opens, so that "Tancar"
    // does not show it.
    fila::quadre(nom(F::Picture1))
        .posicio(1200, 3360, 855, 255)
        .fons(forms::colors::buttonFace)
        .ordreTab(4)
        .nomAccessible(u"Avís legal"),
}};

static_assert(taules::enOrdre(controls, nomsControls));

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

struct frmAvisLegal::Reaccio {
    Control fila;
    void (frmAvisLegal::*Click)();
};

const frmAvisLegal::Reaccio frmAvisLegal::reaccions[] = {
    {.fila = btnSortir, .Click = &F::btnSortir_Click},
};

void frmAvisLegal::onClick(int control) noexcept {
    taules::reaccionar(*this, reaccions, control, &Reaccio::Click);
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
