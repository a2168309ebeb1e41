#pragma once
// The legal notice window: terms of use and disclaimer, opened modally from the
// calculator's menu. It lives only while it is open: every opening builds a new
// one, and closing it unloads it.

#include "ui/forms.h"

#include <cstdint>

class frmAvisLegal : public forms::Form {
public:
    // Rows of the control table, in tab order.
    enum Control : int { Label1, Label2, Label3, btnSortir, Picture1, nombreControls };

    explicit frmAvisLegal(forms::Runtime& runtime) : forms::Form(runtime) {}

    const forms::FormDef& definition() const override;

    // Nothing unwinds out of a reaction into the toolkit: a failure that cannot
    // be handled here ends the program.
    void Form_Load() noexcept override;
    void Form_Activate() noexcept override;
    void onClick(int control) noexcept override;
    void onFrameKnown() noexcept override;

private:
    void btnSortir_Click();

    std::int16_t primeraActivacio_ = 0;
};
