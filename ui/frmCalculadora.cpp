// The calculator window: its layout, then its reactions in the order a person
// meets them (start-up, typing the account number, calculating, leaving).

#include "ui/frmCalculadora.h"

#include "core/ccc.h"
#include "core/compte.h"
#include "core/entitats.h"
#include "core/iban.h"
#include "core/suggeriment.h"
#include "core/text.h"
#include "ui/fila.h"
#include "ui/finestres.h"
#include "ui/frmAvisLegal.h"

#include <array>

namespace {

using fila::boto;
using fila::caixaText;
using fila::etiqueta;
using fila::imatge;
using fila::linia;
using forms::Font;
using F = frmCalculadora;

// The names of the rows, from the one list in the header.
constexpr std::array<std::u16string_view, F::nombreControls> nomsControls{
    FRMCALCULADORA_CONTROLS(TAULES_NOM, TAULES_NOM_DE_MATRIU)};
constexpr std::array<std::u16string_view, F::nombreMenus> nomsMenus{
    FRMCALCULADORA_MENUS(TAULES_NOM)};
constexpr std::u16string_view nom(F::Control control) {
    return nomsControls[control];
}
constexpr std::u16string_view nom(F::Menu menu) {
    return nomsMenus[menu];
}

// ---- Layout -------------------------------------------------------------------

constexpr forms::Color grisCamp = 0xE0E0E0; // also the fields' background as laid out
constexpr forms::Color grocFocus = 0xC0FFFF;
constexpr forms::Color blauResultat = 0xFFC0C0;
constexpr forms::Color plata = 0xC0C0C0;
constexpr forms::Color vermell = 0x0000FF;
constexpr forms::Color blau = 0xFF0000;

constexpr Font lletraGran{.name = u"MS Sans Serif", .points = 13.5};
constexpr Font lletraInstruccions{.name = u"MS Sans Serif", .points = 9.75};
constexpr Font lletraEmpresa{.name = u"Comic Sans MS", .points = 12, .italic = true};
constexpr Font lletraWeb{.name = u"Comic Sans MS", .points = 9, .bold = true};
constexpr Font lletraAdreca{.name = u"Comic Sans MS", .points = 8.25};

// A cell copied from a spreadsheet brings its line end, and a selection made with
// the mouse may begin or end on a blank.
constexpr std::u16string_view senseVores(std::u16string_view text) {
    const auto vora = [](char16_t c) { return c == u'\r' || c == u'\n' || text::isBlank(c); };
    while (!text.empty() && vora(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && vora(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Shift+F10, the Menu key or a right click opens the field's edit menu, with the
// copies of the results after its own items.
constexpr fila::Fila campCompte(std::u16string_view nom) {
    auto camp = caixaText(nom);
    camp.lletra(lletraGran).fons(grisCamp).vora().centrat().menuContextual(F::mnuCopia);
    return camp;
}

// A right click over a result opens the copy menu.
constexpr fila::Fila resultat(std::u16string_view nom) {
    auto camp = etiqueta(nom);
    camp.lletra(lletraGran).fons(blauResultat).vora().centrat().menuContextual(F::mnuCopia);
    return camp;
}

constexpr std::array<forms::ControlDef, frmCalculadora::nombreControls> controls{{
    campCompte(nom(F::txtBanc))
        .posicio(1920, 960, 855, 405)
        .maxim(mdlFuncions::campEntitat.mida)
        .ordreTab(0)
        .nomAccessible(u"Entitat"),
    campCompte(nom(F::txtAgencia))
        .posicio(2880, 960, 855, 405)
        .maxim(mdlFuncions::campOficina.mida)
        .ordreTab(1)
        .nomAccessible(u"Agència"),
    campCompte(nom(F::txtDC))
        .posicio(3840, 960, 495, 405)
        .maxim(mdlFuncions::campControl.mida)
        .ordreTab(2)
        .nomAccessible(u"D.C."),
    campCompte(nom(F::txtCompte))
        .posicio(4440, 960, 1935, 405)
        .maxim(mdlFuncions::campCompte.mida)
        .ordreTab(3)
        .nomAccessible(u"Compte"),
    // Both buttons stay out of the Tab cycle: Escape reaches this one, Enter in
    // txtCompte the other, and the mouse clicks either.
    boto(nom(F::btnSortir))
        .text(u"Sortir")
        .posicio(6600, 4680, 1455, 375)
        .cancelar()
        .ordreTab(4, false)
        .nomAccessible(u"Sortir"),
    etiqueta(nom(F::Label2_0)).text(u"Compte corrent:").posicio(720, 960, 1125, 195).autoAjust(),
    etiqueta(nom(F::Label3))
        .text(u"Introduïu el número de compte corrent (20 dígits) i premeu CALCULAR, i el sistema "
              u"us retornarà el prefixe de l'IBAN i el codi BIC de l'entitat bancària.")
        .posicio(120, 120, 7695, 735)
        .lletra(lletraInstruccions)
        .ajustParaules(),
    boto(nom(F::btnCalcular))
        .text(u"-> Calcular ")
        .posicio(6360, 1800, 1575, 375)
        .ordreTab(7, false)
        .nomAccessible(u"Calcular"),
    // The sample texts of the two results are cleared before the window is first used.
    resultat(nom(F::lblBIC)).text(u"CAIXESBBXXX").posicio(5520, 2880, 2535, 375),
    // The captions name the results for a screen reader, which reads each result by
    // the value it shows.
    etiqueta(nom(F::Label1_0))
        .text(u"Prefixe IBAN")
        .posicio(4440, 2400, 900, 195)
        .autoAjust()
        .etiquetaDe(F::lblSEPA),
    resultat(nom(F::lblSEPA)).text(u"ES99").posicio(5520, 2400, 855, 375),
    etiqueta(nom(F::Label1_1))
        .text(u"Codi BIC")
        .posicio(4440, 2880, 615, 195)
        .autoAjust()
        .etiquetaDe(F::lblBIC),
    etiqueta(nom(F::Label4_0))
        .text(u"Entitat")
        .posicio(1920, 1440, 450, 195)
        .tinta(vermell)
        .autoAjust(),
    etiqueta(nom(F::Label4_1))
        .text(u"Agència")
        .posicio(2880, 1440, 585, 195)
        .tinta(vermell)
        .autoAjust(),
    etiqueta(nom(F::Label4_2))
        .text(u"D.C.")
        .posicio(3840, 1440, 315, 195)
        .tinta(vermell)
        .autoAjust(),
    etiqueta(nom(F::Label4_3))
        .text(u"Compte")
        .posicio(4440, 1440, 540, 195)
        .tinta(vermell)
        .autoAjust(),
    etiqueta(nom(F::Label1_2))
        .text(u"Entitat:")
        .posicio(1200, 1800, 495, 195)
        .autoAjust()
        .etiquetaDe(F::lblEntitat),
    // Keeps its box and one line: a long name is cut at the right edge.
    etiqueta(nom(F::lblEntitat))
        .posicio(1920, 1800, 4095, 255)
        .fons(plata)
        .menuContextual(F::mnuCopia),
    // The distributor's block sizes itself to its texts; no width is listed.
    etiqueta(nom(F::Label1_3))
        .text(u"Merrowfield,S.L.")
        .posicio(120, 3720, 0, 345)
        .lletra(lletraEmpresa)
        .tinta(forms::colors::buttonText)
        .autoAjust(),
    etiqueta(nom(F::lblQuorvanta))
        .text(u"www.merrowfield.example")
        .posicio(600, 4800, 0, 240)
        .lletra(lletraWeb)
        .tinta(blau)
        .autoAjust()
        .punter(forms::ControlPointer::Hand),
    etiqueta(nom(F::Label2_2))
        .text(u"Tel. 000 000 000 - Fax 000 000 001")
        .posicio(240, 4560, 0, 225)
        .lletra(lletraAdreca)
        .autoAjust(),
    etiqueta(nom(F::Label2_1))
        .text(u"00000 Vilainventada")
        .posicio(240, 4320, 0, 225)
        .lletra(lletraAdreca)
        .autoAjust(),
    etiqueta(nom(F::Label2_3))
        .text(u"C/ Imaginària, 0, baixos")
        .posicio(240, 4080, 0, 225)
        .lletra(lletraAdreca)
        .autoAjust(),
    imatge(nom(F::Image1)).posicio(6600, 720, 1125, 750).imatge("logo_petit"),
    imatge(nom(F::Image2)).posicio(120, 2400, 4650, 1350).imatge("logo_gran"),
    linia(nom(F::Line1)).posicio(1800, 1200, 360, 1200).tinta(blau),
}};

} // namespace

// ---- Reactions ------------------------------------------------------------------

struct frmCalculadora::Reaccions {
    Control fila;
    void (frmCalculadora::*Change)() = nullptr;
    void (frmCalculadora::*KeyPress)(std::int16_t& KeyAscii) = nullptr;
    void (frmCalculadora::*GotFocus)() = nullptr;
    void (frmCalculadora::*LostFocus)() = nullptr;
    void (frmCalculadora::*Click)() = nullptr;
    // A paste the control may take whole; false: it is pasted as usual.
    bool (frmCalculadora::*Paste)(std::u16string_view text) = nullptr;
};

// txtCompte changes without a reaction: its tenth digit neither moves on nor
// calculates. Any field takes a whole pasted account into all four.
const frmCalculadora::Reaccions frmCalculadora::reaccions[] = {
    {.fila = txtBanc,
     .Change = &F::txtBanc_Change,
     .KeyPress = &F::txtBanc_KeyPress,
     .GotFocus = &F::txtBanc_GotFocus,
     .LostFocus = &F::txtBanc_LostFocus,
     .Paste = &F::enganxarCompte},
    {.fila = txtAgencia,
     .Change = &F::txtAgencia_Change,
     .KeyPress = &F::txtAgencia_KeyPress,
     .GotFocus = &F::txtAgencia_GotFocus,
     .LostFocus = &F::txtAgencia_LostFocus,
     .Paste = &F::enganxarCompte},
    {.fila = txtDC,
     .Change = &F::txtDC_Change,
     .KeyPress = &F::txtDC_KeyPress,
     .GotFocus = &F::txtDC_GotFocus,
     .LostFocus = &F::txtDC_LostFocus,
     .Paste = &F::enganxarCompte},
    {.fila = txtCompte,
     .KeyPress = &F::txtCompte_KeyPress,
     .GotFocus = &F::txtCompte_GotFocus,
     .LostFocus = &F::txtCompte_LostFocus,
     .Paste = &F::enganxarCompte},
    {.fila = btnSortir, .Click = &F::btnSortir_Click},
    {.fila = btnCalcular, .Click = &F::btnCalcular_Click},
};

namespace {

constexpr forms::MenuDef menu(std::u16string_view nom, std::u16string_view text, int pare = -1) {
    forms::MenuDef item{};
    item.name = nom;
    item.caption = text;
    item.parent = pare;
    return item;
}

// Off the bar: the results' context menu.
constexpr forms::MenuDef ocult(forms::MenuDef menu) {
    menu.visible = false;
    return menu;
}

// Nothing to copy until a calculation gives a whole IBAN.
constexpr forms::MenuDef copia(std::u16string_view nom, std::u16string_view text,
                               std::u16string_view drecera = {}) {
    forms::MenuDef item = menu(nom, text, frmCalculadora::mnuCopia);
    item.enabled = false;
    item.shortcut = drecera;
    return item;
}

constexpr std::array<forms::MenuDef, frmCalculadora::nombreMenus> menus{{
    menu(nom(F::mnuAvis), u"&?"),
    menu(nom(F::mnuAvisLegal), u"Avís legal", frmCalculadora::mnuAvis),
    ocult(menu(nom(F::mnuCopia), u"Copia")),
    copia(nom(F::mnuCopiaIBAN), u"Copia l'IBAN", u"Ctrl+Shift+C"),
    copia(nom(F::mnuCopiaPaper), u"Copia l'IBAN en format paper"),
    copia(nom(F::mnuCopiaBIC), u"Copia el BIC"),
    copia(nom(F::mnuCopiaNom), u"Copia el nom de l'entitat"),
}};

} // namespace

// The menus open without a reaction; their items answer a click (or their chord).
struct frmCalculadora::ReaccioMenu {
    Menu fila;
    void (frmCalculadora::*Click)();
};

const frmCalculadora::ReaccioMenu frmCalculadora::reaccionsMenu[] = {
    {.fila = mnuAvisLegal, .Click = &F::mnuAvisLegal_Click},
    {.fila = mnuCopiaIBAN, .Click = &F::mnuCopiaIBAN_Click},
    {.fila = mnuCopiaPaper, .Click = &F::mnuCopiaPaper_Click},
    {.fila = mnuCopiaBIC, .Click = &F::mnuCopiaBIC_Click},
    {.fila = mnuCopiaNom, .Click = &F::mnuCopiaNom_Click},
};

namespace {

// The code addresses rows by enum; a row moved in a table must move in the list.
static_assert(taules::enOrdre(controls, nomsControls));
static_assert(taules::enOrdre(menus, nomsMenus));

constexpr forms::FormDef formulari{
    .name = u"frmCalculadora",
    .caption = u"Calcular IBAN",
    .clientWidth = 8175,
    .clientHeight = 5235,
    .backColor = forms::colors::white,
    .border = forms::BorderStyle::Sizable,
    .icon = "icona",
    .controls = controls,
    .menus = menus,
};

} // namespace

const forms::FormDef& frmCalculadora::definition() const {
    return formulari;
}

// ---- Event routing: each event to the reaction the table gives it ------------------

void frmCalculadora::onClick(int control) noexcept {
    taules::reaccionar(*this, reaccions, control, &Reaccions::Click);
}

void frmCalculadora::onChange(int control) noexcept {
    taules::reaccionar(*this, reaccions, control, &Reaccions::Change);
    // Whichever field changes, the whole IBAN is offered again or no more.
    if (control >= txtBanc && control <= txtCompte) {
        mostrarIBANSencer();
    }
}

void frmCalculadora::onKeyPress(int control, std::int16_t& keyAscii) noexcept {
    taules::reaccionar(*this, reaccions, control, &Reaccions::KeyPress, keyAscii);
}

void frmCalculadora::onGotFocus(int control) noexcept {
    taules::reaccionar(*this, reaccions, control, &Reaccions::GotFocus);
}

void frmCalculadora::onLostFocus(int control) noexcept {
    taules::reaccionar(*this, reaccions, control, &Reaccions::LostFocus);
}

bool frmCalculadora::onPaste(int control, std::u16string_view text) noexcept {
    return taules::reaccionar(*this, reaccions, control, &Reaccions::Paste, text);
}

void frmCalculadora::onMenuClick(int menu) noexcept {
    taules::reaccionar(*this, reaccionsMenu, menu, &ReaccioMenu::Click);
}

// Form_Load centred the window by an estimate of its frame; a desktop that tells the
// real frame only once the window is on screen gets it centred again by that.
void frmCalculadora::onFrameKnown() noexcept {
    mdlFuncions::centrarFormulari(host().window(), runtime().screen());
}

// ---- Start-up -----------------------------------------------------------------

void frmCalculadora::Form_Load() noexcept {
    primeraActivacio_ = 0;
    mdlFuncions::centrarFormulari(host().window(), runtime().screen());
}

// Runs again each time the legal notice closes; only the first one prepares the
// window, so whatever the person typed survives the notice.
void frmCalculadora::Form_Activate() noexcept {
    if (primeraActivacio_ != 0) {
        return;
    }
    primeraActivacio_ = 1;
    runtime().screen().setMousePointer(forms::MousePointer::Busy);
    inicialitzarFinestra();
    mdlFuncions::carregarEntitats();
    host().window().refresh();
    runtime().screen().setMousePointer(forms::MousePointer::Default);
    host().textBox(txtBanc).setFocus();
}

// The result labels carry sample texts in the layout; nothing of them may show.
void frmCalculadora::inicialitzarFinestra() {
    for (const Control camp : {txtBanc, txtAgencia, txtDC, txtCompte}) {
        host().textBox(camp).setText(u"");
    }
    for (const Control etiqueta : {lblSEPA, lblBIC, lblEntitat}) {
        host().label(etiqueta).setCaption(u"");
    }
}

// ---- The four entry fields ----------------------------------------------------

void frmCalculadora::txtBanc_Change() {
    canviEntitat();
    passarSiPle(txtBanc, mdlFuncions::campEntitat.mida, txtAgencia);
}

void frmCalculadora::txtBanc_KeyPress(std::int16_t& KeyAscii) {
    passarAmbIntro(KeyAscii, txtAgencia);
}

void frmCalculadora::txtBanc_GotFocus() {
    entrarCamp(txtBanc);
}

void frmCalculadora::txtBanc_LostFocus() {
    sortirCamp(txtBanc);
}

void frmCalculadora::txtAgencia_Change() {
    passarSiPle(txtAgencia, mdlFuncions::campOficina.mida, txtDC);
}

void frmCalculadora::txtAgencia_KeyPress(std::int16_t& KeyAscii) {
    passarAmbIntro(KeyAscii, txtDC);
}

void frmCalculadora::txtAgencia_GotFocus() {
    entrarCamp(txtAgencia);
}

void frmCalculadora::txtAgencia_LostFocus() {
    sortirCamp(txtAgencia);
}

void frmCalculadora::txtDC_Change() {
    passarSiPle(txtDC, mdlFuncions::campControl.mida, txtCompte);
}

void frmCalculadora::txtDC_KeyPress(std::int16_t& KeyAscii) {
    passarAmbIntro(KeyAscii, txtCompte);
}

void frmCalculadora::txtDC_GotFocus() {
    entrarCamp(txtDC);
}

void frmCalculadora::txtDC_LostFocus() {
    sortirCamp(txtDC);
}

// The last field does not move on when full: Enter is the signal to calculate.
void frmCalculadora::txtCompte_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == forms::vbKeyReturn) {
        KeyAscii = 0;
        if (host().button(btnCalcular).enabled()) {
            btnCalcular_Click();
        }
        return;
    }
    mdlFuncions::filtrarDigit(KeyAscii);
}

void frmCalculadora::txtCompte_GotFocus() {
    entrarCamp(txtCompte);
}

void frmCalculadora::txtCompte_LostFocus() {
    sortirCamp(txtCompte);
}

// Equality, not "at least": replacing one digit of a full field also moves on.
void frmCalculadora::passarSiPle(Control camp, std::size_t llargada, Control seguent) {
    if (textDe(camp).size() == llargada) {
        host().textBox(seguent).setFocus();
    }
}

void frmCalculadora::passarAmbIntro(std::int16_t& KeyAscii, Control seguent) {
    if (KeyAscii == forms::vbKeyReturn) {
        KeyAscii = 0;
        host().textBox(seguent).setFocus();
        return;
    }
    mdlFuncions::filtrarDigit(KeyAscii);
}

// The whole text selected, so the next digit typed replaces it.
void frmCalculadora::entrarCamp(Control camp) {
    seleccionarTot(camp);
    host().textBox(camp).setBackColor(grocFocus);
}

void frmCalculadora::seleccionarTot(Control camp) {
    auto& caixa = host().textBox(camp);
    caixa.setSelStart(0);
    caixa.setSelLength(static_cast<int>(caixa.text().size()));
}

void frmCalculadora::sortirCamp(Control camp) {
    auto& caixa = host().textBox(camp);
    caixa.setSelLength(0);
    caixa.setBackColor(grisCamp);
}

// Follows every prefix being typed, so "21" already names entity 0021. A long name
// is cut at the label's edge: the tip gives it whole.
void frmCalculadora::canviEntitat() {
    auto& etiqueta = host().label(lblEntitat);
    etiqueta.setCaption(u"");
    const std::u16string nom = mdlFuncions::obtenirNom(textDe(txtBanc));
    etiqueta.setCaption(nom);
    etiqueta.setToolTip(nom);
    actualitzarMenuCopia();
}

// A whole account or IBAN pasted into any field goes to all four, split as the
// fields hold it, and the focus waits in the last one for Enter. Another country's
// IBAN goes nowhere: it is not an account this window can calculate. Any other text
// is an ordinary paste.
bool frmCalculadora::enganxarCompte(std::u16string_view text) {
    using Tipus = mdlFuncions::Lectura::Tipus;
    const mdlFuncions::Lectura lectura = mdlFuncions::llegirCompteOIBAN(senseVores(text));
    if (lectura.tipus == Tipus::res) {
        return false;
    }
    if (lectura.tipus == Tipus::ibanEstranger) {
        avisar(avisIBANEstranger(lectura.text()));
        return true;
    }
    const std::u16string_view digits = lectura.ccc();
    host().textBox(txtBanc).setText(mdlFuncions::campEntitat.de(digits));
    host().textBox(txtAgencia).setText(mdlFuncions::campOficina.de(digits));
    host().textBox(txtDC).setText(mdlFuncions::campControl.de(digits));
    host().textBox(txtCompte).setText(mdlFuncions::campCompte.de(digits));
    host().textBox(txtCompte).setFocus();
    seleccionarTot(txtCompte);
    // Whoever pasted an IBAN to check it learns now, not at the next calculation,
    // that its check digits belong to no such account.
    if (lectura.tipus == Tipus::ibanEspanyol &&
        lectura.digitsIBAN() != mdlFuncions::calcularDigitsIBAN(digits, mdlFuncions::paisEspanya)) {
        avisar(avisDigitsIBAN(digits, lectura.digitsIBAN()));
    }
    return true;
}

// The two boxes of a pasted IBAN the window cannot use as it stands. When one typo
// explains the wrong check digits, it may as well be in the account as in them: the
// likely IBAN is named instead of the check digits alone.
std::u16string frmCalculadora::avisDigitsIBAN(std::u16string_view ccc,
                                              std::u16string_view digitsIBAN) {
    std::u16string avis = u"Els dígits de control de l'IBAN enganxat (ES" +
                          std::u16string(digitsIBAN) + u") no corresponen al compte. ";
    const mdlFuncions::Suggeriment suggeriment = mdlFuncions::suggerirCompte(ccc, digitsIBAN);
    if (suggeriment.candidats == 1) {
        return avis + u"Potser hi ha un dígit equivocat: l'IBAN més probable és " +
               mdlFuncions::formatPaper(suggeriment.iban()) + u".";
    }
    return avis + u"Per a aquest compte haurien de ser ES" +
           mdlFuncions::calcularDigitsIBAN(ccc, mdlFuncions::paisEspanya) + u".";
}

std::u16string frmCalculadora::avisIBANEstranger(std::u16string_view iban) {
    const bool valid = mdlFuncions::validarIBAN(iban) == mdlFuncions::ValidesaIBAN::valid;
    return u"L'IBAN enganxat és d'un altre país (" + std::u16string(iban.substr(0, 2)) +
           (valid ? u") i és vàlid. " : u") i no és vàlid. ") +
           u"Aquesta calculadora és per a comptes espanyols: els camps no canvien.";
}

// The person reads it, presses OK, and goes on where Enter calculates.
void frmCalculadora::avisar(std::u16string_view avis) {
    runtime().msgBox(avis, forms::vbOKOnly | forms::vbInformation);
    host().textBox(txtCompte).setFocus();
    seleccionarTot(txtCompte);
}

// ---- The calculate command ----------------------------------------------------

void frmCalculadora::btnCalcular_Click() {
    if (validarEntrada()) {
        return;
    }
    const std::u16string compte = compteSencer();
    const std::u16string prefix = std::u16string(mdlFuncions::paisEspanya) +
                                  mdlFuncions::calcularDigitsIBAN(compte, mdlFuncions::paisEspanya);
    host().label(lblSEPA).setCaption(prefix);
    entitatBIC_ = textDe(txtBanc);
    host().label(lblBIC).setCaption(mdlFuncions::obtenirBIC(entitatBIC_));
    // Only an account whose control digits agree makes an IBAN worth copying; a
    // prefix the person forced through with Yes stays a prefix.
    const bool sencer = compte.size() == mdlFuncions::digitsCCC && text::allDigits(compte) &&
                        mdlFuncions::validarCCC(compte);
    ibanSencer_ = sencer ? prefix + compte : u"";
    mostrarIBANSencer();
}

// The paper form, with the BIC and the registered name on the lines below.
void frmCalculadora::mostrarIBANSencer() {
    std::u16string fitxa;
    if (ibanOfert()) {
        fitxa = mdlFuncions::formatPaper(ibanSencer_);
        const std::u16string_view entitat = mdlFuncions::campEntitat.de(
            std::u16string_view(ibanSencer_).substr(mdlFuncions::prefixIBAN));
        for (const std::u16string& linia :
             {mdlFuncions::obtenirBIC(entitat), mdlFuncions::obtenirNom(entitat)}) {
            if (!linia.empty()) {
                fitxa += u"\n" + linia;
            }
        }
    }
    host().label(lblSEPA).setToolTip(fitxa);
    host().label(lblBIC).setToolTip(fitxa);
    actualitzarMenuCopia();
}

// The same items serve the results' menu and the fields' edit menus.
void frmCalculadora::actualitzarMenuCopia() {
    const bool iban = ibanOfert();
    host().menu(mnuCopiaIBAN).setEnabled(iban);
    host().menu(mnuCopiaPaper).setEnabled(iban);
    host().menu(mnuCopiaBIC).setEnabled(bicOfert());
    host().menu(mnuCopiaNom).setEnabled(!host().label(lblEntitat).caption().empty());
}

// Ctrl+Shift+C reaches here while the item is disabled too.
void frmCalculadora::mnuCopiaIBAN_Click() {
    copiar(ibanOfert(), ibanSencer_);
}

void frmCalculadora::mnuCopiaPaper_Click() {
    copiar(ibanOfert(), mdlFuncions::formatPaper(ibanSencer_));
}

void frmCalculadora::mnuCopiaBIC_Click() {
    copiar(bicOfert(), host().label(lblBIC).caption());
}

// The name follows the entity field as it is typed: what is shown is the fields' own.
void frmCalculadora::mnuCopiaNom_Click() {
    const std::u16string nom = host().label(lblEntitat).caption();
    copiar(!nom.empty(), nom);
}

// A result that is not the fields' own is never copied: the person hears that
// nothing was, and the clipboard keeps what it held.
void frmCalculadora::copiar(bool ofert, std::u16string_view text) {
    if (!ofert) {
        runtime().beep();
        return;
    }
    runtime().setClipboardText(text);
}

// True when the person declined to go on. Nothing is refused outright: every doubt
// is a question, and Yes takes the input as it stands.
bool frmCalculadora::validarEntrada() {
    for (const Control camp : {txtBanc, txtAgencia, txtDC, txtCompte}) {
        const std::u16string abans = textDe(camp);
        host().textBox(camp).setText(text::trim(abans));
    }
    if (aturarSi(textDe(txtBanc).size() < mdlFuncions::campEntitat.mida,
                 u"El banc no té 4 dígits. És correcte?", txtBanc) ||
        aturarSi(textDe(txtAgencia).size() < mdlFuncions::campOficina.mida,
                 u"El codi de sucursal no té 4 dígits. És correcte?", txtAgencia) ||
        aturarSi(textDe(txtDC).size() < mdlFuncions::campControl.mida,
                 u"No hi ha els 2 dígits de control. És correcte?", txtDC) ||
        aturarSi(textDe(txtCompte).size() != mdlFuncions::campCompte.mida,
                 u"El compte not té 10 dígits. És correcte?", txtCompte)) {
        return true;
    }
    // A short field the person accepted leaves no control digits worth testing.
    const std::u16string compte = compteSencer();
    if (compte.size() != mdlFuncions::digitsCCC || mdlFuncions::validarCCC(compte)) {
        return false;
    }
    return aturarSi(true, preguntaCCC(compte), txtBanc);
}

// Most wrong control digits are one typo. Only when a single account one typo away
// passes is it named, below the question, for the person to read: Yes still goes
// on with the account as typed.
std::u16string frmCalculadora::preguntaCCC(std::u16string_view compte) {
    std::u16string pregunta = u"El c/c és incorrecte. Vols continuar?";
    const mdlFuncions::Suggeriment suggeriment = mdlFuncions::suggerirCompte(compte, u"");
    if (suggeriment.candidats != 1) {
        return pregunta;
    }
    const std::u16string_view probable = suggeriment.iban().substr(mdlFuncions::prefixIBAN);
    pregunta += u"\nPotser volíeu dir ";
    for (const mdlFuncions::Camp& camp : mdlFuncions::campsCCC) {
        pregunta += camp.de(probable);
        pregunta += camp.inici + camp.mida < mdlFuncions::digitsCCC ? u" " : u".";
    }
    return pregunta;
}

bool frmCalculadora::aturarSi(bool dubte, std::u16string_view pregunta, Control campAmbFocus) {
    if (!dubte || runtime().msgBox(pregunta, forms::vbYesNo) != forms::vbNo) {
        return false;
    }
    host().textBox(campAmbFocus).setFocus();
    return true;
}

std::u16string frmCalculadora::textDe(Control camp) {
    return host().textBox(camp).text();
}

// The results stay on screen after the fields change, as designed; the whole IBAN
// goes with them only while the fields hold the account it was calculated from.
bool frmCalculadora::ibanOfert() {
    return !ibanSencer_.empty() &&
           std::u16string_view(ibanSencer_).substr(mdlFuncions::prefixIBAN) == compteSencer();
}

bool frmCalculadora::bicOfert() {
    return !host().label(lblBIC).caption().empty() && textDe(txtBanc) == entitatBIC_;
}

std::u16string frmCalculadora::compteSencer() {
    return textDe(txtBanc) + textDe(txtAgencia) + textDe(txtDC) + textDe(txtCompte);
}

// ---- Leaving, and the legal notice --------------------------------------------

void frmCalculadora::btnSortir_Click() {
    host().window().unload();
}

// A fresh notice each time: it is centred again and its focus placed again.
void frmCalculadora::mnuAvisLegal_Click() {
    frmAvisLegal avis(runtime());
    runtime().show(avis, true);
}
