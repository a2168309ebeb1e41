#include "cli/account.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace cli;

namespace {

// A list's: its cells are added after tabs.
Layout layout(std::vector<std::size_t> columns, Encoding e = Encoding::utf8) {
    Layout l;
    l.decoding.encoding = e;
    l.columns = std::move(columns);
    return l;
}

Record row(std::vector<std::string_view> cells) {
    Record r;
    r.cells = std::move(cells);
    return r;
}

} // namespace

// The forms the samples in dades/ (llista, enganxats, mixta, estrangers) leave out.
TEST(Converter, a_cell_gives_its_status_and_the_added_cells_only_when_right) {
    Converter converter(layout({0}));
    struct {
        const char* name;
        std::string_view cell;
        Status status;
        std::string_view iban, suggestion = {};
    } const rows[] = {
        {"wrong_iban_on_a_wrong_account", "ES0321001234505678901234",
         Status::digitsControlIncorrectes, "", "ES03 2100 1234 5156 7890 1234"},
        {"all_zero_account", "00000000000000000000", Status::totZeros, ""},
        {"all_zero_iban", "ES00 0000 0000 0000 0000 0000", Status::totZeros, ""},
        // Another country's IBAN: no BIC, name or suggestion, as its bank is not listed.
        {"foreign_with_hyphens_and_no_break_space", "PT50-0002-0123-1234-5678-9015-4\xC2\xA0",
         Status::estrangerCorrecte, "PT50000201231234567890154"},
        {"foreign_check_digits_00_never_computed", "DE00370400440532013000",
         Status::digitsIBANIncorrectes, ""},
        {"a_letter_where_germany_has_digits", "DE89370400440532013A00", Status::estrangerMalFormat,
         ""},
        {"letters_for_check_digits", "DEAB370400440532013000", Status::noCompte, ""},
        // A spreadsheet's number for an account's digits, or junk that looks like one.
        {"scientific_notation", " 4.9e+017", Status::notacioCientifica, ""},
        {"scientific_with_every_digit", "2,1000418450200051332E+19", Status::noCompte, ""},
        {"scientific_too_small_for_an_account", "1,5E+15", Status::noCompte, ""},
        {"scientific_too_large_for_an_account", "2,1E+20", Status::noCompte, ""},
        {"scientific_with_a_sign", "-2,1E+19", Status::noCompte, ""},
        {"scientific_with_two_digits_before_the_mark", "21,1E+18", Status::noCompte, ""},
        {"a_right_account_needs_no_suggestion", "ES9121000418450200051332", Status::correcte,
         "ES9121000418450200051332"},
    };
    for (const auto& [name, cell, status, iban, suggestion] : rows) {
        const AddedCells& added = converter.row(row({cell}));
        EXPECT_EQ(added.status, status) << name;
        EXPECT_EQ(added.pieces[0].substr(1), iban) << name;
        EXPECT_EQ(added.pieces[1] == "\t", iban.empty()) << name;
        EXPECT_EQ(added.pieces[2] == "\t\t", status != Status::correcte) << name;
        EXPECT_EQ(added.pieces[4].substr(1), suggestion) << name;
    }
}

// The suggestion is suggested, never applied: the row's other added cells stay empty.
TEST(Converter, four_cells_get_a_suggestion_and_the_next_row_none_left_over) {
    Converter converter(layout({0, 1, 2, 3}));
    const std::array<std::string_view, 5> wrong = {
        "\t", "\t", "\t\t", "\tdígits de control incorrectes", "\tES91 2100 0418 4502 0005 1332"};
    EXPECT_EQ(converter.row(row({"2100", "0418", "54", "0200051332"})).pieces, wrong);
    EXPECT_EQ(converter.row(row({"2100", "0418", "45", "0200051332"})).pieces[4], "\t");
}

// Cells as banks export them, one short or with a wrong control: dades/quatre-columnes.csv.
TEST(Converter, four_cells_must_each_have_their_own_number_of_digits) {
    Converter converter(layout({0, 1, 2, 3}));
    const std::tuple<const char*, std::vector<std::string_view>, Status> rows[] = {
        {"blanks_around", {" 0049 ", "1500", "01\t", "0512345678"}, Status::correcte},
        {"pasted_blanks_and_full_width",
         {"\u2009"
          "0049\u202F",
          "\uFF11\uFF15\uFF10\uFF10", "01", "0512345678"},
         Status::correcte},
        {"all_empty", {"", " ", "", ""}, Status::senseCompte},
        {"all_zeros", {"0000", "0000", "00", "0000000000"}, Status::totZeros},
    };
    for (const auto& [name, cells, status] : rows)
        EXPECT_EQ(converter.row(row(cells)).status, status) << name;
}

TEST(Converter, windows_1252_output_carries_statuses_in_that_encoding) {
    Converter converter(layout({0}, Encoding::windows1252));
    Record unclosed;
    unclosed.unclosedQuote = true;
    // Names: dades/windows-1252.tsv.
    EXPECT_EQ(converter.row(unclosed).pieces[3], "\tfila il\xB7legible: cometes sense tancar");
    EXPECT_EQ(converter.row(row({"21001234505678901234"})).pieces[3],
              "\td\xEDgits de control incorrectes");
}

// "IBAN" in the header: dades/esperat/punt-i-coma and una-columna.
TEST(AddedNames, an_added_column_never_takes_a_name_the_header_has) {
    const std::tuple<const char*, std::vector<std::u16string>, std::vector<std::u16string>> rows[] =
        {
            {"a_suggestion_column_in_the_header",
             {u"Nom", u"Compte", u"suggeriment"},
             {u"IBAN", u"IBAN en format paper", u"BIC", u"Entitat", u"Estat", u"Suggeriment 2"}},
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
