#include "tests/ui/fake_runtime.h"
#include "ui/frmCalculadora.h"

#include <tuple>

// The calculator measures 8295 x 5925 twips with its frame.
TEST(WindowRoutines, centre_a_window_on_the_whole_screen_from_the_halved_rounded_difference) {
    const std::tuple<const char*, forms::Twips, forms::Twips, forms::Twips, forms::Twips> rows[] = {
        {"odd_leftovers_lose_their_half", 15360, 11520, 2797, 3532},
        {"one_twip_too_big_sits_at_zero", 8294, 5924, 0, 0},
        {"fractions_round_half_to_even_before_halving", 8295 + 5.5, 5925 + 3.6, 2, 3},
        {"too_big_both_ways_sticks_out_on_all_sides", 6000, 4000, -962, -1147},
        {"a_width_beyond_32_bits_moves_neither_edge", 1e12, 11520, -7, -7},
        {"a_height_beyond_32_bits_moves_neither_edge", 15360, 4.5e9, -7, -7},
    };
    for (const auto& [name, screenWidth, screenHeight, top, left] : rows) {
        fake::Runtime rt;
        rt.screenWidth = screenWidth, rt.screenHeight = screenHeight;
        frmCalculadora calc(rt);
        rt.show(calc, false);
        EXPECT_EQ(std::tuple(rt.window->top(), rt.window->left()), std::tuple(top, left)) << name;
    }
}
