#include "core/suggeriment.h"

#include "core/ccc.h"
#include "core/comprovacio.h"
#include "core/control_nacional.h"
#include "core/iban.h"
#include "core/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace mdlFuncions;

namespace {

// The input as a text: an electronic Spanish IBAN or a bare account.
Suggeriment suggerir(std::u16string_view text) {
    return text.size() == 24 ? suggerirCompte(text.substr(4), text.substr(2, 2))
                             : suggerirCompte(text, u"");
}

// Every one-typo neighbour of the typed digits, built as a text; letters stay.
std::vector<std::u16string> veins(const std::u16string& d) {
    std::vector<std::u16string> v;
    for (std::size_t i = 0; i < d.size(); ++i)
        for (char16_t c = u'0'; c <= u'9'; ++c)
            if (c != d[i] && text::isDigit(d[i])) {
                v.push_back(d);
                v.back()[i] = c;
            }
    for (std::size_t i = 0; i + 1 < d.size(); ++i)
        if (d[i] != d[i + 1] && text::isDigit(d[i]) && text::isDigit(d[i + 1])) {
            v.push_back(d);
            std::swap(v.back()[i], v.back()[i + 1]);
        }
    return v;
}

// A right account of a listed entity, random otherwise, as an electronic IBAN.
std::u16string ibanDret(std::mt19937& atzar) {
    static const std::u16string_view entitats[] = {u"2100", u"0049", u"0182", u"0081",
                                                   u"0128", u"3058", u"2038", u"1465"};
    std::u16string ccc(entitats[atzar() % std::size(entitats)]);
    for (std::size_t i = ccc.size(); i < digitsCCC; ++i)
        ccc += static_cast<char16_t>(u'0' + atzar() % 10);
    for (int dc = 0; !validarCCC(ccc); ++dc) {
        ccc[campControl.inici] = static_cast<char16_t>(u'0' + dc / 10);
        ccc[campControl.inici + 1] = static_cast<char16_t>(u'0' + dc % 10);
    }
    return u"ES" + calcularDigitsIBAN(ccc, u"ES") + ccc;
}

// How many of the one-typo neighbours of a right IBAN are suggested back to it: the
// original always passes, so it is one of the candidates, and the only one suggested.
int typosLedBack(const std::u16string& iban) {
    int suggerits = 0;
    for (const std::u16string& typo : veins(iban.substr(2))) {
        Comprovacio c;
        comprovarCompte(iban.substr(0, 2) + typo, c);
        EXPECT_GE(c.suggeriment.candidats, 1) << std::string(typo.begin(), typo.end());
        if (c.suggeriment.candidats == 1) {
            EXPECT_EQ(c.suggeriment.iban(), iban) << std::string(typo.begin(), typo.end());
            ++suggerits;
        }
    }
    return suggerits;
}

} // namespace

TEST(Suggeriments, suggest_only_when_exactly_one_neighbour_passes_every_check) {
    constexpr std::u16string_view dret = u"ES9121000418450200051332";
    const std::tuple<const char*, std::u16string_view, int, std::u16string_view> rows[] = {
        {"typo_in_the_first_iban_check_digit", u"ES1921000418450200051332", 1, dret},
        {"typo_in_the_second_iban_check_digit", u"ES9721000418450200051332", 1, dret},
        {"swap_of_the_iban_check_digit_and_the_entity", u"ES9211000418450200051332", 1, dret},
        {"typo_in_the_account", u"ES9121000418450200071332", 1, dret},
        {"adjacent_swap_in_the_account", u"ES9121000418450200051323", 1, dret},
        {"adjacent_swap_in_the_office", u"ES8230589053062726717093", 1,
         u"ES8230589053026726717093"},
        {"swap_in_a_bare_account", u"21000418540200051332", 1, dret},
        {"typo_in_a_bare_account_s_entity", u"00608407833112585497", 1,
         u"ES8800308407833112585497"},
        {"two_candidates_for_an_iban", u"ES0700810140845102281629", 2, u""},
        {"many_candidates_for_a_bare_account_count_as_two", u"14657294989364454075", 2, u""},
        {"two_typos_leave_none", u"ES9121000418450200051399", 0, u""},
        {"the_all_zero_account_has_none", u"00000000000000000000", 0, u""},
        {"a_right_iban_gets_nothing", dret, 0, u""},
        {"a_right_account_gets_nothing", u"21000418450200051332", 0, u""},
        {"a_letter_gets_nothing", u"2100041845020005133A", 0, u""},
        {"nineteen_digits_get_nothing", u"2100041845020005133", 0, u""},
    };
    for (const auto& [name, text, candidats, iban] : rows) {
        const Suggeriment s = suggerir(text);
        EXPECT_EQ(s.candidats, candidats) << name;
        EXPECT_EQ(s.iban(), iban) << name;
    }
    EXPECT_EQ(suggerirCompte(u"21000418450200051332", u"9").candidats, 0);
}

// Any one typo of a right IBAN, when it leads to a suggestion, leads back to it; most
// one-typo IBANs have exactly one correction.
TEST(Suggeriments, any_single_typo_of_a_right_iban_suggests_the_original_or_nothing) {
    std::mt19937 atzar(13616);
    int suggerits = 0, total = 0;
    for (int i = 0; i < 30; ++i) {
        const std::u16string iban = ibanDret(atzar);
        suggerits += typosLedBack(iban);
        total += static_cast<int>(veins(iban.substr(2)).size());
    }
    EXPECT_GT(suggerits * 2, total);
}

// Each checked country's published example (Djibouti's made with its key), and the
// BBAN place of a digit its national check covers: changed, with the IBAN check
// digits computed again, only the national check can tell. Every typo of the
// example leads back to it, or to nothing where others pass too; some lead back.
TEST(Suggeriments, each_checked_country_s_own_digits_are_checked_and_lead_its_typos_back) {
    const std::tuple<std::u16string_view, std::size_t> rows[] = {
        {u"AL47212110090000000235698741", 7},
        {u"BA391290079401028494", 15},
        {u"BE68539007547034", 11},
        {u"CZ6508000000192000145399", 19},
        {u"DJ2100010000000123456789074", 22},
        {u"EE382200221020145685", 15},
        {u"ES9121000418450200051332", 9},
        {u"FI2112345600000785", 13},
        {u"FR1420041010050500013M02606", 22},
        {u"HR1210010051863000160", 6},
        {u"HU42117730161111101800000000", 7},
        {u"IS140159260076545510730339", 20},
        {u"IT60X0542811101000000123456", 1},
        {u"MC5811222000010123456789030", 22},
        {u"ME25505000012345678951", 17},
        {u"MK07250120000058984", 14},
        {u"MR1300020001010000123456753", 22},
        {u"NO9386011117947", 10},
        {u"PL61109010140000071219812874", 7},
        {u"PT50000201231234567890154", 20},
        {u"RS35260005601001611379", 17},
        {u"SI56263300012039086", 14},
        {u"SK3112000000198742637541", 19},
        {u"SM86U0322509800000000270100", 1},
        {u"TL380080012345678910157", 18},
        {u"TN5910006035183598478831", 19},
    };
    ASSERT_EQ(std::size(rows), controlsNacionals.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [iban, lloc] = rows[i];
        const std::u16string pais(iban.substr(0, 2));
        const std::string nom(iban.begin(), iban.end());
        EXPECT_EQ(pais, controlsNacionals[i].pais) << nom;
        EXPECT_EQ(validarIBAN(iban), ValidesaIBAN::valid) << nom;
        std::u16string bban(iban.substr(4));
        bban[lloc] = static_cast<char16_t>(u'0' + (bban[lloc] - u'0' + 1) % 10);
        EXPECT_EQ(validarIBAN(pais + calcularDigitsIBAN(bban, pais) + bban),
                  ValidesaIBAN::digitsNacionals)
            << nom;
        EXPECT_GT(typosLedBack(std::u16string(iban)), 0) << nom;
    }
}
