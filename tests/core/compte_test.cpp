#include "core/compte.h"
#include "core/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

using namespace mdlFuncions;

namespace {

std::string utf8(std::u16string_view text) {
    std::string bytes;
    char c8[4];
    for (const char16_t c : text)
        bytes.append(c8, text::toUtf8(c, c8));
    return bytes;
}

} // namespace

// Separators and look-alikes copied from PDFs and word processors are dropped or
// read as ASCII; anything else makes the text not one whole account. The forms of
// every kind, and near misses, are in the CLI's sample dades/lectures.txt; these
// rows take each way a text comes in.
TEST(Compte, reads_a_whole_account_or_any_country_s_iban_in_the_forms_people_write_it) {
    using T = Lectura::Tipus;
    constexpr std::u16string_view ccc = u"21001234515678901234", es03 = u"ES0321001234515678901234",
                                  de89 = u"DE89370400440532013000";
    // A huge paste is refused, or its account found, without reading it as one.
    const std::u16string digits(1 << 20, u'1'),
        amid = std::u16string(1 << 20, u' ') + std::u16string(ccc) + std::u16string(1 << 20, u'\t');
    const std::tuple<const char*, std::u16string_view, T, std::u16string_view> rows[] = {
        {"bare_digits", u"21001234515678901234", T::compte, ccc},
        {"unicode_blanks",
         u"\uFEFF2100\u00A01234\u2009\u202F51\u2007\u2003\u20005678\u3000\u200B901234", T::compte,
         ccc},
        {"electronic_iban", es03, T::ibanEspanyol, es03},
        {"foreign_look_alikes", u"\uFF24\uFF25\uFF18\uFF19\u20093704\u201300440532013000",
         T::ibanEstranger, de89},
        {"line_feed_inside", u"2100\n1234515678901234", T::res, u""},
        {"line_separator_inside", u"2100\u20281234515678901234", T::res, u""},
        {"a_huge_paste_of_digits", digits, T::res, u""},
        {"an_account_amid_huge_blanks", amid, T::compte, ccc},
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
}
