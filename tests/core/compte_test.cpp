#include "core/compte.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

using namespace mdlFuncions;

namespace {

std::string utf8(std::u16string_view text) {
    std::string bytes;
    for (const char32_t c : text) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | c >> 6);
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | c >> 12);
            bytes += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

} // namespace

TEST(Compte, paper_form_puts_one_blank_between_groups_of_four) {
    const std::tuple<std::u16string_view, std::u16string_view> rows[] = {
        {u"ES0321001234515678901234", u"ES03 2100 1234 5156 7890 1234"},
        {u"", u""},
        {u"ES03", u"ES03"},
        {u"NL91ABNA0417164300", u"NL91 ABNA 0417 1643 00"},
    };
    for (const auto& [iban, paper] : rows)
        EXPECT_EQ(formatPaper(iban), paper);
}

// Separators and look-alikes copied from PDFs and word processors are dropped or
// read as ASCII; anything else makes the text not one whole account.
TEST(Compte, reads_a_whole_account_or_any_country_s_iban_in_the_forms_people_write_it) {
    using T = Lectura::Tipus;
    constexpr std::u16string_view ccc = u"21001234515678901234", es03 = u"ES0321001234515678901234",
                                  de89 = u"DE89370400440532013000";
    const std::tuple<const char*, std::u16string_view, T, std::u16string_view> rows[] = {
        {"bare_digits", u"21001234515678901234", T::compte, ccc},
        {"in_groups", u"2100 1234 51 5678901234", T::compte, ccc},
        {"hyphens_dots_and_tabs", u"2100-1234.51\t5678901234", T::compte, ccc},
        {"unicode_blanks",
         u"\uFEFF2100\u00A01234\u2009\u202F51\u2007\u2003\u20005678\u3000\u200B901234", T::compte,
         ccc},
        {"hyphen_look_alikes",
         u"2100\u20131234\u201151\u2212\u20125678\u2014\u00AD90\uFF0D12\uFE6334", T::compte, ccc},
        {"fullwidth_digits_and_dot", u"\uFF12\uFF11\uFF10\uFF10\uFF0E1234 51 5678901234", T::compte,
         ccc},
        {"iban_word_before_bare_digits", u"Iban 21001234515678901234", T::compte, ccc},
        {"electronic_iban", es03, T::ibanEspanyol, es03},
        {"paper_iban_word_in_any_case", u"iBaN es03 2100 1234 5156 7890 1234", T::ibanEspanyol,
         es03},
        {"fullwidth_lower_case_country", u"\uFF45\uFF53\uFF10\uFF13 2100 1234 5156 7890 1234",
         T::ibanEspanyol, es03},
        {"fullwidth_iban_word", u"\uFF29\uFF22\uFF21\uFF2E ES0321001234515678901234",
         T::ibanEspanyol, es03},
        {"wrong_check_digits_are_kept", u"ES9921001234515678901234", T::ibanEspanyol,
         u"ES9921001234515678901234"},
        {"foreign_electronic", de89, T::ibanEstranger, de89},
        {"foreign_paper_with_word", u"IBAN FR14 2004 1010 0505 0001 3M02 606", T::ibanEstranger,
         u"FR1420041010050500013M02606"},
        {"foreign_look_alikes", u"\uFF24\uFF25\uFF18\uFF19\u20093704\u201300440532013000",
         T::ibanEstranger, de89},
        {"foreign_wrong_length_is_still_read", u"DE8937040044053201300", T::ibanEstranger,
         u"DE8937040044053201300"},
        {"longest", u"LC55 HEMM 0001 0001 0012 0012 0002 3015 56", T::ibanEstranger,
         u"LC55HEMM00010001001200120002301556"},
        {"only_separators", u" -.\t", T::res, u""},
        {"nineteen_digits", u"2100123451567890123", T::res, u""},
        {"twenty_one_digits", u"210012345156789012345", T::res, u""},
        {"letter_inside", u"2100123451567890123A", T::res, u""},
        {"letter_in_check_digits", u"ES0A21001234515678901234", T::res, u""},
        {"lone_iban_word", u"IBAN", T::res, u""},
        {"iban_word_twice", u"IBAN IBAN ES0321001234515678901234", T::res, u""},
        // What spreadsheets write to keep a number as text, and the paper form's tag.
        {"apostrophe_marking_text", u"'21001234515678901234", T::compte, ccc},
        {"text_formula", u" =\"ES03 2100 1234 5156 7890 1234\" ", T::ibanEspanyol, es03},
        {"iban_tag", u"IBAN: ES0321001234515678901234", T::ibanEspanyol, es03},
        {"iban_tag_without_blank", u"iban:DE89370400440532013000", T::ibanEstranger, de89},
        {"formula_without_quotes", u"=21001234515678901234", T::res, u""},
        {"formula_left_open", u"=\"21001234515678901234", T::res, u""},
        {"digits_after_the_formula", u"=\"21001234515678901234\"1", T::res, u""},
        {"quotes_without_formula", u"\"21001234515678901234\"", T::res, u""},
        {"apostrophe_inside", u"2100'1234515678901234", T::res, u""},
        {"two_marks", u"'=\"21001234515678901234\"", T::res, u""},
        {"colon_without_iban_word", u"ES03:21001234515678901234", T::res, u""},
        {"two_colons", u"IBAN::ES0321001234515678901234", T::res, u""},
        {"arabic_indic_digits", u"\u0662\u0661\u0660\u0660 1234 51 5678901234", T::res, u""},
        {"line_feed_inside", u"2100\n1234515678901234", T::res, u""},
        {"line_separator_inside", u"2100\u20281234515678901234", T::res, u""},
        {"slash_separator", u"2100/1234/51/5678901234", T::res, u""},
        {"country_without_check_digits", u"ES21001234515678901234", T::res, u""},
        {"unknown_country", u"XX89370400440532013000", T::res, u""},
        {"letters_for_check_digits", u"DEAR SIR", T::res, u""},
        {"country_and_check_digits_only", u"DE89", T::res, u""},
        {"thirty_five_characters", u"LC55HEMM000100010012001200023015567", T::res, u""},
    };
    for (const auto& [name, text, tipus, llegit] : rows) {
        const Lectura lectura = llegirCompteOIBAN(text);
        EXPECT_EQ(lectura.tipus, tipus) << name;
        EXPECT_EQ(lectura.text(), llegit) << name;
        // Read as bytes, an ASCII text gives the same; with any other byte (here a
        // Windows-1252 no-break space), nothing.
        std::string bytes;
        for (const char16_t c : text)
            bytes += static_cast<char>(c < 0x80 ? c : 0xA0);
        const bool ascii =
            std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
        const Lectura deBytes = llegirCompteOIBAN(bytes);
        EXPECT_EQ(deBytes.tipus, ascii ? tipus : T::res) << name;
        EXPECT_EQ(deBytes.text(), ascii ? llegit : u"") << name;
        // Read as UTF-8, decoded on the way, every text gives the same.
        const Lectura deUtf8 = llegirCompteOIBAN(text::Utf8(utf8(text)));
        EXPECT_EQ(deUtf8.tipus, tipus) << name;
        EXPECT_EQ(deUtf8.text(), llegit) << name;
    }
}

// Bytes that are not well-formed UTF-8 make the text no account, wherever they
// stand: before, inside or after a right account.
TEST(Compte, a_text_that_is_not_utf8_is_no_account) {
    const std::tuple<const char*, std::string> rows[] = {
        {"windows_1252_no_break_space", "\xA0"},
        {"stray_continuation_byte", "\x80"},
        {"overlong_space", "\xC0\xA0"},
        {"overlong_three_bytes", "\xE0\x80\xA0"},
        {"surrogate", "\xED\xA0\x80"},
        {"past_u10ffff", "\xF4\x90\x80\x80"},
        {"outside_the_basic_plane", "\xF0\x9F\x98\x80"},
        {"cut_short", "\xE2\x80"},
        {"lead_byte_for_a_continuation", "\xE2\x80\xE2\x80\x89"},
    };
    const std::string entitat = "2100", resta = "1234515678901234";
    for (const auto& [name, bytes] : rows)
        for (const std::string& text :
             {bytes + entitat + resta, entitat + bytes + resta, entitat + resta + bytes})
            EXPECT_EQ(llegirCompteOIBAN(text::Utf8(text)).tipus, Lectura::Tipus::res) << name;
    // Well formed, the same look-alikes read: a thin space (E2 80 89).
    EXPECT_EQ(llegirCompteOIBAN(text::Utf8(entitat + "\xE2\x80\x89" + resta)).ccc(),
              u"21001234515678901234");
}

TEST(Compte, a_huge_paste_is_refused_without_reading_it_as_an_account) {
    std::u16string text(1 << 20, u'1');
    EXPECT_EQ(llegirCompteOIBAN(text).tipus, Lectura::Tipus::res);
    text.assign(1 << 20, u' ');
    text += u"21001234515678901234";
    EXPECT_EQ(llegirCompteOIBAN(text).ccc(), u"21001234515678901234");
    std::string bytes(1 << 20, ' ');
    bytes.append("21001234515678901234").append(1 << 20, '\t');
    EXPECT_EQ(llegirCompteOIBAN(text::Utf8(bytes)).ccc(), u"21001234515678901234");
}
