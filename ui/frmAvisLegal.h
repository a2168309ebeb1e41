#pragma once
// The legal notice window: terms of use and disclaimer, opened modally from the
// calculator's menu. It lives only while it is open: every opening builds a new
// one, and closing it unloads it.

#include "ui/forms.h"
#include "ui/taules.h"

#include <cstdint>

// Every control once, in tab order: the enum and the layout table's names come from here.
#define FRMAVISLEGAL_CONTROLS(X, XA) X(Label1) X(Label2) X(Label3) X(btnSortir) X(Picture1)

class frmAvisLegal : public forms::Form {
public:
    // Rows of the control table, in tab order.
    enum Control : int { FRMAVISLEGAL_CONTROLS(TAULES_FILA, TAULES_FILA_DE_MATRIU) nombreControls };

    explicit frmAvisLegal(forms::Runtime& runtime) : forms::Form(runtime) {}

    const forms::FormDef& definition() const override;

    // Nothing unwinds out of a reaction into the toolkit: a failure that cannot
    // be handled here ends the program.
    void Form_Load() noexcept override;
    void Form_Activate() noexcept override;
    void onClick(int control) noexcept override;
    void onFrameKnown() noexcept override;

private:
    struct Reaccio;
    static const Reaccio reaccions[];

    void btnSortir_Click();

    std::int16_t primeraActivacio_ = 0;
};
