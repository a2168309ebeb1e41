#pragma once
// The calculator window, the program's start-up window.
//
// How the pieces fit together: the window describes itself as data, a FormDef
// whose control table lists every control in keyboard order, and the Control enum
// below names the rows of that table, so code and layout address the same row;
// both take their names from one list, FRMCALCULADORA_CONTROLS.
// A forms::Runtime (the Qt binding, or the tests' fake) builds the window from
// that table and raises its events through the on...() entry points. Beside the
// layout stands a second table, the reactions: for each control, which method
// answers its Change, KeyPress, GotFocus, LostFocus, Click and paste, named as a
// form designer would name them (txtBanc_Change, btnCalcular_Click...); the
// on...() entry points only hand the event to taules::reaccionar, which runs it. Form_Load
// centres the window, the first Form_Activate clears it and fills the entity
// directory, the four entry fields filter keys, pass the focus on and follow the
// entity name, and btnCalcular_Click runs the calculate command. The arithmetic
// and the directory live in core/ (mdlFuncions); this class only reads fields,
// asks questions, says why a pasted IBAN cannot be used, and writes captions.

#include "ui/forms.h"
#include "ui/taules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Every control once, in tab order, then every menu item: the enums below and the
// names in the layout table both come from here.
// clang-format off
#define FRMCALCULADORA_CONTROLS(X, XA) \
    X(txtBanc) X(txtAgencia) X(txtDC) X(txtCompte) X(btnSortir) XA(Label2, 0) X(Label3) \
    X(btnCalcular) X(lblBIC) XA(Label1, 0) X(lblSEPA) XA(Label1, 1) \
    XA(Label4, 0) XA(Label4, 1) XA(Label4, 2) XA(Label4, 3) XA(Label1, 2) X(lblEntitat) \
    XA(Label1, 3) X(lblQuorvanta) XA(Label2, 2) XA(Label2, 1) XA(Label2, 3) \
    X(Image1) X(Image2) X(Line1)
// mnuCopia is the results' context menu, off the bar; the entry fields add its
// items to their edit menu.
#define FRMCALCULADORA_MENUS(X) \
    X(mnuAvis) X(mnuAvisLegal) \
    X(mnuCopia) X(mnuCopiaIBAN) X(mnuCopiaPaper) X(mnuCopiaBIC) X(mnuCopiaNom)
// clang-format on

class frmCalculadora : public forms::Form {
public:
    // Rows of the control table, in tab order; rows of the menu table.
    enum Control : int {
        FRMCALCULADORA_CONTROLS(TAULES_FILA, TAULES_FILA_DE_MATRIU) nombreControls
    };
    enum Menu : int { FRMCALCULADORA_MENUS(TAULES_FILA) nombreMenus };

    explicit frmCalculadora(forms::Runtime& runtime) : forms::Form(runtime) {}

    const forms::FormDef& definition() const override;

    // Nothing unwinds out of a reaction into the toolkit: a failure that cannot
    // be handled here ends the program.
    void Form_Load() noexcept override;
    void Form_Activate() noexcept override;
    void onClick(int control) noexcept override;
    void onChange(int control) noexcept override;
    void onKeyPress(int control, std::int16_t& keyAscii) noexcept override;
    void onGotFocus(int control) noexcept override;
    void onLostFocus(int control) noexcept override;
    void onMenuClick(int menu) noexcept override;
    void onFrameKnown() noexcept override;
    bool onPaste(int control, std::u16string_view text) noexcept override;

private:
    // The reactions of one control, by event; empty where it has none. Defined
    // with the table, beside the layout.
    struct Reaccions;
    static const Reaccions reaccions[];
    struct ReaccioMenu;
    static const ReaccioMenu reaccionsMenu[];

    void inicialitzarFinestra();

    void txtBanc_Change();
    void txtBanc_KeyPress(std::int16_t& KeyAscii);
    void txtBanc_GotFocus();
    void txtBanc_LostFocus();
    void txtAgencia_Change();
    void txtAgencia_KeyPress(std::int16_t& KeyAscii);
    void txtAgencia_GotFocus();
    void txtAgencia_LostFocus();
    void txtDC_Change();
    void txtDC_KeyPress(std::int16_t& KeyAscii);
    void txtDC_GotFocus();
    void txtDC_LostFocus();
    void txtCompte_KeyPress(std::int16_t& KeyAscii);
    void txtCompte_GotFocus();
    void txtCompte_LostFocus();

    void canviEntitat();
    void btnCalcular_Click();
    bool validarEntrada();
    void btnSortir_Click();
    void mnuAvisLegal_Click();
    void mnuCopiaIBAN_Click();
    void mnuCopiaPaper_Click();
    void mnuCopiaBIC_Click();
    void mnuCopiaNom_Click();
    bool enganxarCompte(std::u16string_view text);
    static std::u16string avisDigitsIBAN(std::u16string_view ccc, std::u16string_view digitsIBAN);
    static std::u16string avisIBANEstranger(std::u16string_view iban);
    static std::u16string preguntaCCC(std::u16string_view compte);
    void avisar(std::u16string_view avis);
    void mostrarIBANSencer();
    void actualitzarMenuCopia();
    void copiar(bool ofert, std::u16string_view text);
    bool ibanOfert();
    bool bicOfert();

    // What the four fields share.
    void passarSiPle(Control camp, std::size_t llargada, Control seguent);
    void passarAmbIntro(std::int16_t& KeyAscii, Control seguent);
    void entrarCamp(Control camp);
    void seleccionarTot(Control camp);
    void sortirCamp(Control camp);
    bool aturarSi(bool dubte, std::u16string_view pregunta, Control campAmbFocus);
    std::u16string textDe(Control camp);
    std::u16string compteSencer();

    std::int16_t primeraActivacio_ = 0;
    // The whole IBAN the shown prefix belongs to, "ES" + check digits + the 20 digits
    // they were calculated from; empty when the last calculation had no right
    // 20-digit account, and before the first. Kept with the results, and offered
    // only while the fields hold those 20 digits again.
    std::u16string ibanSencer_;
    // The entity code the shown BIC was looked up from; its copy is offered only
    // while txtBanc holds that code again.
    std::u16string entitatBIC_;
};
