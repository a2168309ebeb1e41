// The Qt binding's conversions of measures and colours. How its widgets behave is
// tested on the real windows.

#include "platform/convert.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(Conversions, twips_become_the_nearest_pixel_at_the_screen_resolution) {
    const std::tuple<const char*, forms::Twips, double, int> rows[] = {
        {"fifteen_twips_are_a_pixel_at_96_dpi", 15, 96, 1},
        {"half_a_pixel_rounds_up", 7.5, 96, 1},
        {"a_field_width_at_144_dpi", 855, 144, 86},
        {"left_of_the_screen", -1500, 96, -100},
    };
    for (const auto& [name, twips, dpi, pixels] : rows)
        EXPECT_EQ(platform::twipsToPixels(twips, dpi), pixels) << name;
}

TEST(Conversions, colours_hold_red_in_the_low_byte_and_system_colours_come_from_the_palette) {
    QPalette palette; // every role a different colour, so that a wrong role shows
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    palette.setColor(QPalette::ButtonText, QColor(7, 8, 9));
    palette.setColor(QPalette::WindowText, QColor(10, 11, 12));
    EXPECT_EQ(platform::toQColor(0xC0FFFF, palette), QColor(255, 255, 192));
    EXPECT_EQ(platform::toQColor(0xFF0000, palette), QColor(0, 0, 255));
    EXPECT_EQ(platform::toQColor(forms::colors::buttonFace, palette), QColor(1, 2, 3));
    EXPECT_EQ(platform::toQColor(forms::colors::buttonText, palette), QColor(7, 8, 9));
}
