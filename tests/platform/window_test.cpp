#include "platform/convert.h"
#include "recording_form.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTest>

namespace {

using Events = std::vector<std::string>;

struct WindowKey {
    const char* name;
    const char* focused;
    Qt::Key key;
    const char* click;
};

// Failure messages show the row name, not its bytes.
void PrintTo(const WindowKey& row, std::ostream* out) {
    *out << row.name;
}

class WindowKeys : public PlatformTest, public ::testing::WithParamInterface<WindowKey> {};

TEST_P(WindowKeys, click_the_button_they_belong_to) {
    showActive(form);
    control(GetParam().focused)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), GetParam().key);
    EXPECT_EQ(form.eventsWith("Click"), Events{GetParam().click});
}

INSTANTIATE_TEST_SUITE_P(Table, WindowKeys,
                         ::testing::Values(WindowKey{"escape_in_a_text_box_clicks_cancel", "txtA",
                                                     Qt::Key_Escape, "Click btnCancel"},
                                           WindowKey{"escape_in_the_picture_box_clicks_cancel",
                                                     "picBox", Qt::Key_Escape, "Click btnCancel"},
                                           WindowKey{"enter_in_a_text_box_clicks_the_default",
                                                     "txtB", Qt::Key_Return, "Click btnOk"},
                                           WindowKey{"enter_on_a_focused_button_clicks_it",
                                                     "btnCancel", Qt::Key_Return,
                                                     "Click btnCancel"}),
                         testform::rowName);

TEST_F(PlatformTest, load_runs_before_the_window_is_shown_and_knows_its_outer_size) {
    bool visibleAtLoad = true;
    forms::Twips width = 0;
    forms::Twips height = 0;
    form.whenLoaded = [&] {
        visibleAtLoad = windowOf(form)->isVisible();
        width = form.controls().window().width();
        height = form.controls().window().height();
    };
    showActive(form);
    const int menuHeight = windowOf(form)->findChild<QMenuBar*>()->height();
    EXPECT_FALSE(visibleAtLoad);
    EXPECT_DOUBLE_EQ(width, 3000);
    EXPECT_DOUBLE_EQ(height, 1500 + platform::pixelsToTwips(menuHeight, 96));
    EXPECT_EQ(form.events, (Events{"Load", "Activate", "GotFocus txtA"}));
}

TEST_F(PlatformTest, controls_sit_at_their_twips_position_below_the_menu_bar) {
    showActive(form);
    const int menuHeight = windowOf(form)->findChild<QMenuBar*>()->height();
    ASSERT_GT(menuHeight, 0);
    // txtA: (150, 300) twips, 900 by 375.
    QWidget* field = control("txtA");
    EXPECT_EQ(field->mapTo(windowOf(form), QPoint(0, 0)), QPoint(10, menuHeight + 20));
    EXPECT_EQ(field->size(), QSize(60, 25));
}

TEST_F(PlatformTest, a_menu_item_raises_its_menu_click) {
    showActive(form);
    windowOf(form)->findChild<QAction*>("mnuObrir")->trigger();
    EXPECT_EQ(form.eventsWith("Menu"), Events{"Menu mnuObrir"});
}

TEST_F(PlatformTest, the_close_box_unloads_the_form) {
    showActive(form);
    windowOf(form)->close();
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(windowOf(form), nullptr);
}

// Through the window system, where modality is enforced, as a real click.
void clickThroughWindow(QWidget& target) {
    QTest::mouseClick(target.window()->windowHandle(), Qt::LeftButton, {},
                      target.mapTo(target.window(), target.rect().center()));
}

TEST_F(PlatformTest, a_modal_show_blocks_the_other_window_and_returns_on_unload) {
    showActive(form);
    testform::RecordingForm notice(runtime);
    bool clickedBehind = false;
    whenModalIsActive([&](QWidget&) {
        clickThroughWindow(*control("btnOk"));
        clickedBehind = !form.eventsWith("Click").empty();
        notice.unload();
    });
    runtime.show(notice, true);
    EXPECT_FALSE(notice.loaded());
    EXPECT_FALSE(clickedBehind);
    // Control: the same click reaches the window once the modal one has gone.
    ASSERT_TRUE(form.loaded());
    ASSERT_TRUE(QTest::qWaitForWindowActive(windowOf(form)));
    clickThroughWindow(*control("btnOk"));
    EXPECT_EQ(form.eventsWith("Click"), Events{"Click btnOk"});
}

TEST_F(PlatformTest, unloading_the_last_window_ends_the_event_loop) {
    showActive(form);
    QTimer::singleShot(0, [this] { form.unload(); });
    // So that a failure ends the loop too.
    bool endedByUnload = true;
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [&endedByUnload] {
        endedByUnload = false;
        QCoreApplication::quit();
    });
    fallback.start(10'000);
    QApplication::exec();
    EXPECT_TRUE(endedByUnload);
}

} // namespace
