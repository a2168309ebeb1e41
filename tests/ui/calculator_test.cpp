#include "core/entitats.h"
#include "tests/ui/fake_runtime.h"
#include "ui/frmCalculadora.h"

#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using F = frmCalculadora;

// The calculator started on the fake, with its log emptied; or with 2100 1234 51
// 5678901234 calculated (ES03, CAIXESBBXXX).
struct Shown {
    explicit Shown(bool calculated = false) {
        rt.show(calc, false);
        if (calculated)
            enter(u"2100|1234|51|5678901234"), calc.onClick(F::btnCalcular);
        rt.log.clear();
    }
    fake::Control& at(int row) { return rt.window->controls.at(row); }
    // The person clicks into each field in turn and pastes; "|" separates the fields.
    void enter(std::u16string_view fields) {
        for (int field = F::txtBanc; field <= F::txtCompte; ++field) {
            const auto bar = std::min(fields.find(u'|'), fields.size());
            at(field).setFocus();
            rt.paste(fields.substr(0, bar));
            fields.remove_prefix(std::min(bar + 1, fields.size()));
        }
    }
    std::u16string fields() {
        return at(F::txtBanc).value + u"|" + at(F::txtAgencia).value + u"|" + at(F::txtDC).value +
               u"|" + at(F::txtCompte).value;
    }
    fake::Runtime rt;
    frmCalculadora calc{rt};
};

} // namespace

// Started, the calculator is cleared and the directory filled under a busy pointer
// once only; it is centred on the whole screen from the halved, rounded difference.
// With its frame it measures 8295 x 5925 twips.
TEST(StartingTheCalculator, clears_it_fills_the_directory_once_and_centres_it_on_the_screen) {
    const std::tuple<const char*, forms::Twips, forms::Twips, forms::Twips, forms::Twips> rows[] = {
        {"odd_leftovers_lose_their_half", 15360, 11520, 2797, 3532},
        {"one_twip_too_big_sits_at_zero", 8294, 5924, 0, 0},
        {"fractions_round_half_to_even_before_halving", 8295 + 5.5, 5925 + 3.6, 2, 3},
        {"a_width_beyond_32_bits_moves_neither_edge", 1e12, 11520, -7, -7},
        {"a_height_beyond_32_bits_moves_neither_edge", 15360, 4.5e9, -7, -7},
    };
    for (const auto& [name, screenWidth, screenHeight, top, left] : rows) {
        fake::Runtime rt;
        rt.screenWidth = screenWidth, rt.screenHeight = screenHeight;
        frmCalculadora calc(rt);
        rt.show(calc, false);
        EXPECT_EQ(std::tuple(rt.window->top(), rt.window->left()), std::tuple(top, left)) << name;
        EXPECT_EQ(rt.log, u"load frmCalculadora; activate frmCalculadora; pointer busy; lblSEPA=; "
                          u"lblBIC=; lblEntitat=; refresh; pointer default; focus txtBanc; ");
        EXPECT_EQ(rt.window->controls[F::txtBanc].back, 0xC0FFFFu); // focused
        rt.log.clear();
        rt.show(calc, false); // as when the legal notice closes
        EXPECT_EQ(rt.log, u"activate frmCalculadora; ");
    }
    EXPECT_EQ(mdlFuncions::obtenirNom(u"2100"), u"CAIXABANK, S.A.");
}

// State: a first run has shown ES03 and CAIXESBBXXX; the row's fields are pasted in.
// Action: the command. Expected: the fields trimmed first, then the questions in
// order; a No moves the focus and keeps the old results, otherwise the new ones
// arrive, the prefix first.
TEST(TheCommand, asks_its_questions_in_order_then_shows_the_results_or_keeps_the_old_ones) {
    const std::u16string questions[] = {
        u"El banc no té 4 dígits. És correcte?",
        u"El codi de sucursal no té 4 dígits. És correcte?",
        u"No hi ha els 2 dígits de control. És correcte?",
        u"El compte not té 10 dígits. És correcte?",
        u"El c/c és incorrecte. Vols continuar?",
    };
    struct Row {
        const char* name;
        std::u16string_view fields;
        const char* dialogue; // each question by number with its answer: "1Y4N"
        std::u16string_view outcome;
        std::u16string_view likely{}; // the account one typo away the fifth question names
        std::u16string_view trimmed{}, trimming{};
    };
    // clang-format off
    const Row rows[] = {
        {"a_right_number_asks_nothing", u"2100|1234|51|5678901234", "", u"lblSEPA=ES03; lblBIC=CAIXESBBXXX; "},
        {"short_entity_declined", u"210|1234|51|5678901234", "1N", u"focus txtBanc; "},
        {"short_entity_accepted_leaves_19_and_no_check", u"210|1234|51|5678901234", "1Y", u"lblSEPA=ES14; lblBIC=; "},
        {"short_office_declined", u"2100|123|51|5678901234", "2N", u"focus txtAgencia; "},
        {"short_control_digits_declined", u"2100|1234|5|5678901234", "3N", u"focus txtDC; "},
        {"short_account_declined", u"2100|1234|51|567890123", "4N", u"focus txtCompte; "},
        {"long_account_declined", u"2100|1234|51|56789012345", "4N", u"focus txtCompte; "},
        {"wrong_ccc_declined", u"2100|1234|52|5678901234", "5N", u"focus txtBanc; "},
        {"wrong_ccc_accepted", u"2100|1234|52|5678901234", "5Y", u"lblSEPA=ES38; lblBIC=CAIXESBBXXX; "},
        {"control_digits_swapped_named_and_declined", u"2100|0418|54|0200051332", "5N", u"focus txtBanc; ", u"2100 0418 45 0200051332"},
        {"control_digits_swapped_named_and_accepted_as_typed", u"2100|0418|54|0200051332", "5Y", u"lblSEPA=ES18; lblBIC=CAIXESBBXXX; ", u"2100 0418 45 0200051332"},
        {"all_empty_accepted", u"|||", "1Y2Y3Y4Y", u"lblSEPA=ES82; lblBIC=; "},
        {"all_empty_declined_at_the_third", u"|||", "1Y2Y3N", u"focus txtDC; "},
        {"twenty_zeros", u"0000|0000|00|0000000000", "5Y", u"lblSEPA=ES82; lblBIC=; "},
        {"pasted_blanks", u"\t21 |1234|  | 5678901 ", "1Y3Y4Y", u"lblSEPA=ES75; lblBIC=; ", u"",
         u"\t21|1234||5678901", u"lblEntitat=; lblEntitat=BANCO CONDAL, S.A.; "},
    };
    // clang-format on
    for (const Row& row : rows) {
        Shown s(true);
        s.enter(row.fields);
        s.rt.log.clear();
        std::u16string expected(row.trimming);
        for (const char* d = row.dialogue; *d != 0; d += 2) {
            const bool named = d[0] == '5' && !row.likely.empty();
            expected +=
                u"ask " + questions[d[0] - '1'] +
                (named ? u"\nPotser volíeu dir " + std::u16string(row.likely) + u"." : u"") + u"; ";
            s.rt.answers += d[1];
        }
        s.calc.onClick(F::btnCalcular);
        EXPECT_EQ(s.rt.log, expected + std::u16string(row.outcome)) << row.name;
        EXPECT_EQ(s.fields(), row.trimmed.empty() ? row.fields : row.trimmed) << row.name;
    }
}

// What a person does after the first calculation, one step of a row.
using Step = std::function<void(Shown&)>;

// The row's fields pasted in, one field at a time.
Step fill(std::u16string_view fields) {
    return [fields](Shown& s) { s.enter(fields); };
}
// A whole account or IBAN pasted into one field.
Step pasteInto(int field, std::u16string_view text) {
    return [field, text](Shown& s) { s.at(field).setFocus(), s.rt.paste(text); };
}
// The command, with its questions answered in turn ('Y' or 'N').
Step calculate(const char* answers = "") {
    return [answers](Shown& s) { s.rt.answers = answers, s.calc.onClick(F::btnCalcular); };
}

// State: 2100 1234 51 5678901234 calculated: ES03 and CAIXESBBXXX shown, the whole IBAN
// offered. Action: the row's steps. Expected: the whole IBAN (the tips, the IBAN items
// of the copy menu, Ctrl+Shift+C) is offered only for a right 20-digit account, and
// only while the fields hold it; the BIC only while the entity field holds the code it
// came from; the name is the one shown. Otherwise no tip, the items disabled, and
// their reactions (the chord) beep and leave the clipboard as it was. The results
// themselves stay as shown.
TEST(TheWholeIban, is_offered_only_while_the_fields_hold_the_account_it_was_calculated_from) {
    const std::u16string es03 = u"ES03 2100 1234 5156 7890 1234\nCAIXESBBXXX\nCAIXABANK, S.A.";
    const std::u16string es60 =
        u"ES60 0049 1500 0512 3456 7892\nBSCHESMMXXX\nBANCO SANTANDER, S.A.";
    struct Row {
        const char* name;
        std::vector<Step> steps;
        std::u16string_view tip;         // empty: no whole IBAN offered
        std::u16string_view prefix, bic; // as shown; a prefix of "?": not looked at
        bool bicOfTheEntityField = true;
    };
    // clang-format off
    const Row rows[] = {
        {"calculated", {}, es03, u"ES03", u"CAIXESBBXXX"},
        {"a_digit_changed", {fill(u"2100|1234|51|5678901235")}, u"", u"ES03", u"CAIXESBBXXX"},
        {"a_digit_changed_back", {fill(u"2100|1234|51|5678901235"), fill(u"2100|1234|51|5678901234")}, es03, u"ES03", u"CAIXESBBXXX"},
        {"declined_with_other_digits", {fill(u"2100|1234|52|5678901234"), calculate("N")}, u"", u"ES03", u"CAIXESBBXXX"},
        {"declined_then_changed_back", {fill(u"2100|1234|52|5678901234"), calculate("N"), fill(u"2100|1234|51|5678901234")}, es03, u"ES03", u"CAIXESBBXXX"},
        {"wrong_control_digits_forced", {fill(u"2100|1234|52|5678901234"), calculate("Y")}, u"", u"ES38", u"CAIXESBBXXX"},
        {"forced_then_changed_back", {fill(u"2100|1234|52|5678901234"), calculate("Y"), fill(u"2100|1234|51|5678901234")}, u"", u"ES38", u"CAIXESBBXXX"},
        {"short_entity_forced", {fill(u"210|1234|51|5678901234"), calculate("Y")}, u"", u"ES14", u""},
        {"a_blank_the_control_digits_let_through", {fill(u"0000|0000|00|00000 0000"), calculate()}, u"", u"?", u""},
        {"another_account_pasted", {pasteInto(F::txtBanc, u"0049 1500 05 1234567892")}, u"", u"ES03", u"CAIXESBBXXX", false},
        {"another_entity_typed", {fill(u"0049|1234|51|5678901234")}, u"", u"ES03", u"CAIXESBBXXX", false},
        {"the_entity_typed_back", {fill(u"0049|1234|51|5678901234"), fill(u"2100|1234|51|5678901235")}, u"", u"ES03", u"CAIXESBBXXX"},
        {"another_entity_declined", {fill(u"0049|1234|52|5678901234"), calculate("N")}, u"", u"ES03", u"CAIXESBBXXX", false},
        {"another_account_pasted_and_calculated", {pasteInto(F::txtDC, u"0049 1500 05 1234567892"), calculate()}, es60, u"ES60", u"BSCHESMMXXX"},
        {"the_same_account_pasted_as_an_iban", {pasteInto(F::txtCompte, u"ES03 2100 1234 5156 7890 1234")}, es03, u"ES03", u"CAIXESBBXXX"},
        {"the_same_account_pasted_with_a_line_end", {fill(u"|||"), pasteInto(F::txtBanc, u"\tES03 2100 1234 5156 7890 1234\r\n")}, es03, u"ES03", u"CAIXESBBXXX"},
    };
    // clang-format on
    for (const Row& row : rows) {
        Shown s(true);
        for (const Step& step : row.steps)
            step(s);
        EXPECT_EQ(s.at(F::lblSEPA).tip, row.tip) << row.name;
        EXPECT_EQ(s.at(F::lblBIC).tip, row.tip) << row.name;
        if (row.prefix != u"?") {
            EXPECT_EQ(s.at(F::lblSEPA).value, row.prefix) << row.name;
        }
        EXPECT_EQ(s.at(F::lblBIC).value, row.bic) << row.name;
        // The chord and the menu raise the same reaction; the IBAN they copy is the
        // tip's first line, without blanks for the electronic form. Empty: nothing.
        const std::u16string paper(row.tip.substr(0, row.tip.find(u'\n')));
        std::u16string electronic = paper;
        std::erase(electronic, u' ');
        for (const auto& [item, copied] :
             {std::pair(F::mnuCopiaIBAN, electronic), std::pair(F::mnuCopiaPaper, paper),
              std::pair(F::mnuCopiaBIC, std::u16string(row.bicOfTheEntityField ? row.bic : u"")),
              std::pair(F::mnuCopiaNom, s.at(F::lblEntitat).value)}) {
            EXPECT_EQ(s.rt.window->menus[item].on, !copied.empty()) << row.name << " " << item;
            s.rt.clipboard = u"what the person copied before";
            s.rt.log.clear();
            s.calc.onMenuClick(item);
            EXPECT_EQ(s.rt.clipboard, copied.empty() ? u"what the person copied before" : copied)
                << row.name << " " << item;
            EXPECT_EQ(s.rt.log, copied.empty() ? u"beep; " : u"") << row.name << " " << item;
        }
    }
}

// State: the calculator with 2100 1234 51 5678901234 typed. Action: the row's text
// pasted into the entity field. Expected: a Spanish IBAN fills the fields, and when its
// check digits are wrong a box says which they are and what they should be, or, when
// one typo explains them, which IBAN was most likely meant; another country's IBAN
// fills nothing and a box says whose it is and whether it is valid. After a box the
// focus is in the account field. (The fake has no maximum length: an ordinary paste
// goes in whole.)
TEST(APastedIban, that_the_window_cannot_use_as_it_stands_is_explained_in_a_box) {
    const std::u16string_view typed = u"2100|1234|51|5678901234";
    const std::u16string foreign =
        u"Aquesta calculadora és per a comptes espanyols: els camps no canvien.";
    struct Row {
        const char* name;
        std::u16string_view pasted, fields;
        std::u16string box; // empty: none
    };
    // clang-format off
    const Row rows[] = {
        {"right_check_digits", u"ES91 2100 0418 4502 0005 1332", u"2100|0418|45|0200051332", u""},
        {"wrong_check_digits_no_typo_explains", u"ES71 0182 0100 2402 0123 4567", u"0182|0100|24|0201234567",
         u"Els dígits de control de l'IBAN enganxat (ES71) no corresponen al compte. Per a aquest compte haurien de ser ES38."},
        {"a_typo_in_the_account", u"ES91 2100 0418 4502 0005 1333", u"2100|0418|45|0200051333",
         u"Els dígits de control de l'IBAN enganxat (ES91) no corresponen al compte. Potser hi ha un dígit equivocat: l'IBAN més probable és ES91 2100 0418 4502 0005 1332."},
        {"two_check_digits_swapped", u"es19-2100-0418-4502-0005-1332", u"2100|0418|45|0200051332",
         u"Els dígits de control de l'IBAN enganxat (ES19) no corresponen al compte. Potser hi ha un dígit equivocat: l'IBAN més probable és ES91 2100 0418 4502 0005 1332."},
        {"a_valid_german_iban", u"DE89 3704 0044 0532 0130 00", typed,
         u"L'IBAN enganxat és d'un altre país (DE) i és vàlid. " + foreign},
        {"a_german_iban_with_wrong_check_digits", u"IBAN DE88 3704 0044 0532 0130 00\n", typed,
         u"L'IBAN enganxat és d'un altre país (DE) i no és vàlid. " + foreign},
        {"a_french_iban_a_digit_short", u"FR14 2004 1010 0505 0001 3M02 60", typed,
         u"L'IBAN enganxat és d'un altre país (FR) i no és vàlid. " + foreign},
        {"an_unknown_country_is_an_ordinary_paste", u"XX89 3704 0044 0532 0130 00", u"XX89 3704 0044 0532 0130 00|1234|51|5678901234", u""},
    };
    // clang-format on
    for (const Row& row : rows) {
        Shown s;
        s.enter(typed);
        s.at(F::txtBanc).setFocus();
        s.rt.log.clear();
        s.rt.paste(row.pasted);
        EXPECT_EQ(s.fields(), row.fields) << row.name;
        if (row.box.empty()) {
            EXPECT_EQ(s.rt.log.find(u"tell "), std::u16string::npos) << row.name;
            continue;
        }
        EXPECT_TRUE(s.rt.log.ends_with(u"tell " + row.box + u"; focus txtCompte; ")) << row.name;
        EXPECT_EQ(s.rt.log.find(u"tell "), s.rt.log.rfind(u"tell ")) << row.name << ": one box";
        EXPECT_EQ(s.rt.window->focus, F::txtCompte) << row.name;
    }
}
