#include "platform/convert.h"
#include "recording_form.h"

#include <gtest/gtest.h>

namespace {
struct TwipsCase {
    const char* name;
    forms::Twips twips;
    double dpi;
    int pixels;
};

// Failure messages show the row name, not its bytes.
void PrintTo(const TwipsCase& row, std::ostream* out) {
    *out << row.name;
}

class TwipsToPixels : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsToPixels, converts_to_the_nearest_pixel_at_the_screen_resolution) {
    EXPECT_EQ(platform::twipsToPixels(GetParam().twips, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TwipsToPixels,
    ::testing::Values(TwipsCase{"fifteen_twips_are_one_pixel_at_96_dpi", 15, 96, 1},
                      TwipsCase{"calculator_client_height", 5235, 96, 349},
                      TwipsCase{"just_under_half_a_pixel_rounds_down", 7, 96, 0},
                      TwipsCase{"half_a_pixel_rounds_up", 7.5, 96, 1},
                      TwipsCase{"an_inch_at_120_dpi", 1440, 120, 120},
                      TwipsCase{"a_field_width_at_144_dpi", 855, 144, 86},
                      TwipsCase{"a_window_left_of_the_screen", -1500, 96, -100}),
    testform::rowName);

struct ColorCase {
    const char* name;
    forms::Color color;
    QColor expected;
};

void PrintTo(const ColorCase& row, std::ostream* out) {
    *out << row.name;
}

class ColorConversion : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorConversion, reads_blue_in_the_high_byte_and_system_colours_from_the_palette) {
    // Every role a different colour, so that a wrong role shows.
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    palette.setColor(QPalette::ButtonText, QColor(7, 8, 9));
    palette.setColor(QPalette::WindowText, QColor(10, 11, 12));
    EXPECT_EQ(platform::toQColor(GetParam().color, palette), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorConversion,
    ::testing::Values(ColorCase{"red_is_the_low_byte", 0x0000FF, QColor(255, 0, 0)},
                      ColorCase{"blue_is_the_high_byte", 0xFF0000, QColor(0, 0, 255)},
                      ColorCase{"focus_yellow", 0xC0FFFF, QColor(255, 255, 192)},
                      ColorCase{"button_face_is_the_window_colour", forms::colors::buttonFace,
                                QColor(1, 2, 3)},
                      ColorCase{"button_text", forms::colors::buttonText, QColor(7, 8, 9)}),
    testform::rowName);

TEST(FontSubstitution, designed_fonts_become_installed_ones_with_size_and_style_kept) {
    const QFont small = platform::toQFont({});
    EXPECT_EQ(small.family(), "Liberation Sans");
    EXPECT_DOUBLE_EQ(small.pointSizeF(), 8.25);
    const QFont company =
        platform::toQFont({.name = u"Comic Sans MS", .points = 12, .italic = true});
    EXPECT_EQ(company.family(), "Comic Neue");
    EXPECT_TRUE(company.italic());
    EXPECT_EQ(platform::fontFamilyFor(u"Arial"), "Liberation Sans");
}

} // namespace
