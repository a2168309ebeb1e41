#include "tests/ui/fake_runtime.h"
#include "ui/finestres.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A bare window frame that records which edges were set, in order.
struct Frame final : forms::Window {
    forms::Twips h = 0, w = 0, t = 0, l = 0;
    std::vector<std::string> moves;
    forms::Twips height() const override { return h; }
    forms::Twips width() const override { return w; }
    forms::Twips top() const override { return t; }
    forms::Twips left() const override { return l; }
    void setTop(forms::Twips v) override { moves.push_back("top"), t = v; }
    void setLeft(forms::Twips v) override { moves.push_back("left"), l = v; }
    void refresh() override {}
    void unload() override {}
};

struct Centring {
    const char* name;
    forms::Twips screenW, screenH, windowW, windowH;
    forms::Twips top, left; // expected; the window starts at (-7, -7)
};

class CentringWindow : public testing::TestWithParam<Centring> {};

TEST_P(CentringWindow, sets_top_then_left_from_the_rounded_halved_difference) {
    const Centring& c = GetParam();
    fake::Runtime screen(c.screenW, c.screenH);
    Frame frame;
    frame.w = c.windowW, frame.h = c.windowH, frame.t = -7, frame.l = -7;
    mdlFuncions::centrarFormulari(frame, screen);
    EXPECT_EQ(frame.t, c.top);
    EXPECT_EQ(frame.l, c.left);
    if (frame.t != -7) {
        EXPECT_EQ(frame.moves, (std::vector<std::string>{"top", "left"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CentringWindow,
    testing::Values(
        Centring{"window_301_high_on_a_768_screen_sits_at_233", 1024, 768, 400, 301, 233, 312},
        Centring{"window_101_taller_than_the_screen_sits_at_minus_50", 1000, 600, 1000, 701, -50,
                 0},
        Centring{"odd_differences_lose_their_half", 1001, 1000, 0, 3, 498, 500},
        Centring{"difference_of_minus_one_gives_zero", 10, 10, 11, 11, 0, 0},
        Centring{"fraction_is_rounded_half_to_even_before_halving", 15.5, 7.6, 10, 4, 2, 3},
        Centring{"larger_than_the_screen_both_ways_sticks_out_on_all_sides", 15360, 11520, 20000,
                 15000, -1740, -2320},
        Centring{"overflow_in_width_moves_neither_edge", 1e12, 768, 0, 301, -7, -7},
        Centring{"overflow_in_height_moves_neither_edge", 1024, 4.5e9, 100, 0, -7, -7}),
    [](const auto& info) { return std::string(info.param.name); });

struct Key {
    const char* name;
    std::int16_t code;
    bool passes;
};

class FilteringKey : public testing::TestWithParam<Key> {};

TEST_P(FilteringKey, keeps_control_keys_and_digits_and_zeroes_the_rest) {
    std::int16_t code = GetParam().code;
    mdlFuncions::filtrarDigit(code);
    EXPECT_EQ(code, GetParam().passes ? GetParam().code : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilteringKey,
    testing::Values(Key{"unit_FFFF", -1, false},
                    Key{"cjk_unit_8BA1", static_cast<std::int16_t>(0x8BA1), false},
                    Key{"emoji_high_surrogate", static_cast<std::int16_t>(0xD83D), false},
                    Key{"null", 0, true}, Key{"backspace", 8, true}, Key{"enter", 13, true},
                    Key{"ctrl_v", 22, true}, Key{"code_29", 29, true}, Key{"code_30", 30, false},
                    Key{"code_31", 31, false}, Key{"space", 32, false},
                    Key{"slash_just_below_zero", '/', false}, Key{"zero", '0', true},
                    Key{"nine", '9', true}, Key{"colon_just_above_nine", ':', false},
                    Key{"letter_a", 'a', false}, Key{"enye", 0x00F1, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
