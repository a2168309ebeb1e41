#include "cli/account.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace cli;

TEST(Converter, a_cell_gives_its_status_and_the_added_cells_only_when_right) {
    Converter converter(Encoding::utf8);
    const std::tuple<const char*, std::string_view, Status, std::string_view, std::string_view>
        rows[] = {
            {"bare_digits", "21001234515678901234", Status::correct, "ES0321001234515678901234",
             "CAIXABANK, S.A."},
            {"paper_iban_with_word", "IBAN ES70 0049 1500 0105 1234 5678", Status::correct,
             "ES7000491500010512345678", "BANCO SANTANDER, S.A."},
            {"no_break_spaces_in_utf8",
             "2100\xC2\xA0"
             "1234 51 5678901234",
             Status::correct, "ES0321001234515678901234", "CAIXABANK, S.A."},
            // Copied from a PDF or a word processor: thin (U+2009) and narrow no-break
            // (U+202F) spaces, en dashes (U+2013), full-width digits (U+FF10..).
            {"thin_and_narrow_spaces",
             "2100\u2009"
             "1234\u202F"
             "51 5678901234",
             Status::correct, "ES0321001234515678901234", "CAIXABANK, S.A."},
            {"en_dashes", "2100\u20131234\u201351\u20135678901234", Status::correct,
             "ES0321001234515678901234", "CAIXABANK, S.A."},
            {"full_width_digits", "\uFF12\uFF11\uFF10\uFF10 1234 51 5678901234", Status::correct,
             "ES0321001234515678901234", "CAIXABANK, S.A."},
            {"entity_not_listed", "99990001461234567890", Status::unknownEntity,
             "ES8899990001461234567890", ""},
            {"wrong_control_digits", "21001234505678901234", Status::wrongControlDigits, "", ""},
            {"wrong_iban_check_digits", "ES9921001234515678901234", Status::wrongIbanDigits, "",
             ""},
            {"wrong_iban_on_a_wrong_account", "ES0321001234505678901234",
             Status::wrongControlDigits, "", ""},
            {"all_zero_account", "00000000000000000000", Status::allZeros, "", ""},
            {"all_zero_iban", "ES00 0000 0000 0000 0000 0000", Status::allZeros, "", ""},
            {"nineteen_digits", "2100123451567890123", Status::notAnAccount, "", ""},
            {"blanks_only", " \t ", Status::empty, "", ""},
            {"nothing", "", Status::empty, "", ""},
        };
    Added added;
    for (const auto& [name, cell, status, iban, entity] : rows) {
        EXPECT_EQ(converter.convert(cell, added), status) << name;
        EXPECT_EQ(added.iban, iban) << name;
        EXPECT_EQ(added.name, entity) << name;
        EXPECT_EQ(added.paper.empty(), iban.empty()) << name;
        EXPECT_EQ(added.bic.empty(), entity.empty()) << name;
    }
    converter.convert("ES0321001234515678901234", added);
    EXPECT_EQ(added.paper, "ES03 2100 1234 5156 7890 1234");
    EXPECT_EQ(added.bic, "CAIXESBBXXX");
}

// Another country's IBAN is checked against the registry only: no BIC or name, as the
// directory is Spanish, and no suggestion, as its national check digits are unknown.
TEST(Converter, a_foreign_iban_is_read_like_a_spanish_one_and_checked_by_the_registry) {
    Converter converter(Encoding::utf8);
    const std::tuple<const char*, std::string_view, Status, std::string_view, std::string_view>
        rows[] = {
            {"french_on_paper", "FR14 2004 1010 0505 0001 3M02 606", Status::foreignCorrect,
             "FR1420041010050500013M02606", "FR14 2004 1010 0505 0001 3M02 606"},
            {"german_with_the_word_in_lower_case", "iban de89 3704 0044 0532 0130 00",
             Status::foreignCorrect, "DE89370400440532013000", "DE89 3704 0044 0532 0130 00"},
            {"hyphens_and_no_break_spaces", "PT50-0002-0123-1234-5678-9015-4\xC2\xA0",
             Status::foreignCorrect, "PT50000201231234567890154",
             "PT50 0002 0123 1234 5678 9015 4"},
            {"check_digits_wrong", "DE88370400440532013000", Status::wrongIbanDigits, "", ""},
            {"check_digits_00_never_computed", "DE00370400440532013000", Status::wrongIbanDigits,
             "", ""},
            {"a_digit_short", "DE8937040044053201300", Status::foreignMalformed, "", ""},
            {"a_letter_where_germany_has_digits", "DE89370400440532013A00",
             Status::foreignMalformed, "", ""},
            {"unknown_country", "XX89370400440532013000", Status::notAnAccount, "", ""},
            {"letters_for_check_digits", "DEAB370400440532013000", Status::notAnAccount, "", ""},
        };
    Added added;
    for (const auto& [name, cell, status, iban, paper] : rows) {
        EXPECT_EQ(converter.convert(cell, added), status) << name;
        EXPECT_EQ(added.iban, iban) << name;
        EXPECT_EQ(added.paper, paper) << name;
        EXPECT_EQ(added.bic, "") << name;
        EXPECT_EQ(added.name, "") << name;
        EXPECT_EQ(added.suggestion, "") << name;
        EXPECT_EQ(isCorrect(status), status == Status::foreignCorrect) << name;
    }
}

// The suggestion is suggested, never applied: the row's other added cells stay empty.
TEST(Converter, a_spanish_account_that_fails_gets_the_one_account_a_typo_away) {
    Converter converter(Encoding::utf8);
    constexpr std::string_view meant = "ES91 2100 0418 4502 0005 1332";
    const std::tuple<const char*, std::string_view, Status, std::string_view> rows[] = {
        {"typo_in_the_iban_check_digits", "ES1921000418450200051332", Status::wrongIbanDigits,
         meant},
        {"adjacent_swap_in_the_account", "ES91 2100 0418 4502 0005 1323",
         Status::wrongControlDigits, meant},
        {"swap_in_a_bare_account", "2100-0418-54-0200051332", Status::wrongControlDigits, meant},
        {"two_candidates", "ES0700810140845102281629", Status::wrongControlDigits, ""},
        {"many_candidates_for_a_bare_account", "14657294989364454075", Status::wrongControlDigits,
         ""},
        {"two_typos_leave_none", "ES9121000418450200051399", Status::wrongControlDigits, ""},
        {"a_right_account_needs_none", "ES9121000418450200051332", Status::correct, ""},
        {"not_an_account", "2100041845020005133", Status::notAnAccount, ""},
    };
    Added added;
    for (const auto& [name, cell, status, suggestion] : rows) {
        EXPECT_EQ(converter.convert(cell, added), status) << name;
        EXPECT_EQ(added.suggestion, suggestion) << name;
        const std::string right = added.iban + added.paper + std::string(added.bic);
        EXPECT_EQ(right.empty(), !isCorrect(status)) << name;
    }
    EXPECT_EQ(converter.convertFour({"2100", "0418", "54", "0200051332"}, added),
              Status::wrongControlDigits);
    EXPECT_EQ(added.suggestion, meant);
    // A right row after a wrong one carries no suggestion left over.
    converter.convert("ES9121000418450200051332", added);
    EXPECT_EQ(added.suggestion, "");
}

TEST(Converter, four_cells_must_each_have_their_own_number_of_digits) {
    Converter converter(Encoding::utf8);
    const std::tuple<const char*, std::array<std::string_view, 4>, Status> rows[] = {
        {"as_banks_export_them", {"0049", "1500", "01", "0512345678"}, Status::correct},
        {"blanks_around", {" 0049 ", "1500", "01\t", "0512345678"}, Status::correct},
        {"pasted_blanks_and_full_width",
         {"\u2009"
          "0049\u202F",
          "\uFF11\uFF15\uFF10\uFF10", "01", "0512345678"},
         Status::correct},
        {"leading_zeros_lost", {"49", "1500", "01", "0512345678"}, Status::notAnAccount},
        {"digits_moved_between_cells", {"00491", "500", "01", "0512345678"}, Status::notAnAccount},
        {"control_digits_wrong", {"0049", "1500", "02", "0512345678"}, Status::wrongControlDigits},
        {"all_empty", {"", " ", "", ""}, Status::empty},
        {"all_zeros", {"0000", "0000", "00", "0000000000"}, Status::allZeros},
    };
    Added added;
    for (const auto& [name, cells, status] : rows)
        EXPECT_EQ(converter.convertFour(cells, added), status) << name;
}

TEST(Converter, windows_1252_output_carries_names_and_statuses_in_that_encoding) {
    Converter converter(Encoding::windows1252);
    Added added;
    // A no-break space is byte A0 in Windows-1252.
    EXPECT_EQ(converter.convert("3119\xA0"
                                "0001080000012345",
                                added),
              Status::correct);
    EXPECT_EQ(added.name, "CAJA R. S. JAIME ALQUERIAS NI\xD1O PERDIDO S.C.C.V.");
    EXPECT_EQ(converter.status(Status::unclosedQuote), "fila il\xB7legible: cometes sense tancar");
    EXPECT_EQ(converter.status(Status::wrongControlDigits), "d\xEDgits de control incorrectes");
}

TEST(AddedNames, an_added_column_never_takes_a_name_the_header_has) {
    const std::tuple<const char*, std::vector<std::u16string>, std::vector<std::u16string>> rows[] =
        {
            {"a_suggestion_column_in_the_header",
             {u"Nom", u"Compte", u"suggeriment"},
             {u"IBAN", u"IBAN en format paper", u"BIC", u"Entitat", u"Estat", u"Suggeriment 2"}},
            {"iban_in_the_header",
             {u"Nom", u"IBAN", u"Import"},
             {u"IBAN 2", u"IBAN en format paper", u"BIC", u"Entitat", u"Estat", u"Suggeriment"}},
            {"other_case_and_blanks_clash_too",
             {u" iban ", u"ENTITAT"},
             {u"IBAN 2", u"IBAN en format paper", u"BIC", u"Entitat 2", u"Estat", u"Suggeriment"}},
            {"the_next_free_number",
             {u"IBAN", u"IBAN 2", u"Estat 2", u"Estat"},
             {u"IBAN 3", u"IBAN en format paper", u"BIC", u"Entitat", u"Estat 3", u"Suggeriment"}},
            {"an_added_name_the_header_gave_a_number_to",
             {u"BIC", u"BIC 2"},
             {u"IBAN", u"IBAN en format paper", u"BIC 3", u"Entitat", u"Estat", u"Suggeriment"}},
        };
    for (const auto& [name, header, added] : rows)
        EXPECT_EQ(addedNames(header), added) << name;
}
