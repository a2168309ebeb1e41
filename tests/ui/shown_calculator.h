#pragma once
// A calculator window already started on the fake: loaded, shown, activated once,
// with the log emptied so that a test sees only what it does itself.

#include "tests/ui/fake_runtime.h"
#include "ui/frmCalculadora.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

inline constexpr std::array<std::u16string_view, 4> campsCompte{u"txtBanc", u"txtAgencia", u"txtDC",
                                                                u"txtCompte"};

template <typename Base = testing::Test> class ShownCalculator : public Base {
protected:
    ShownCalculator() {
        rt.show(calc, false);
        rt.log.clear();
    }

    fake::Control& at(std::u16string_view name) { return rt.control(calc, name); }

    // The person clicks into each field in turn and pastes over its whole text.
    void enter(const std::array<std::u16string_view, 4>& texts) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            rt.focus(calc, campsCompte[i]);
            rt.paste(calc, texts[i]);
        }
    }

    fake::Runtime rt;
    frmCalculadora calc{rt};
};
