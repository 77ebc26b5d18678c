#include "ui/pages/click_dispatch.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <string>
#include <tuple>
#include <vector>

#include "profile/profile_settings.h"
#include "support/qt_app.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_rects.h"

namespace {

using ui::ButtonPos;

TEST(HitTest, FirstContainingRectangleInOrderWithinTheLastIndex) {
    const ButtonPos rects[] = {{0, 0, 0, 0}, {10, 10, 20, 20}, {5, 5, 40, 40}, {100, 0, 1, 1}};
    EXPECT_EQ(ui::HitTestRects({15, 15}, rects, 3), 1) << "overlap: the lower index wins";
    EXPECT_EQ(ui::HitTestRects({29, 29}, rects, 3), 1);
    EXPECT_EQ(ui::HitTestRects({30, 30}, rects, 3), 2) << "right and bottom edges are outside";
    EXPECT_EQ(ui::HitTestRects({0, 0}, rects, 3), ui::NoHover) << "empty rectangle";
    EXPECT_EQ(ui::HitTestRects({100, 0}, rects, 2), ui::NoHover) << "beyond the last index";
    EXPECT_EQ(ui::HitTestRects({15, 15}, rects, -1), ui::NoHover);
}

TEST(FireTimeTrack, PixelsAndStepButtonsStayWithinTheLimits) {
    const ButtonPos track{40, 0, 300, 10};
    EXPECT_EQ(ui::FireTimeAt(40, track), 0u);
    EXPECT_EQ(ui::FireTimeAt(339, track), 299u);
    // A product past the signed range still divides as a positive number.
    EXPECT_EQ(ui::FireTimeAt(9'000'000, ButtonPos{0, 0, 10'000'000, 1}), 270u);
    // A hand-edited negative time steps as a signed number; down stops at 0, up at 300.
    for (const auto& [from, delta, to] :
         {std::tuple{-5, -1, 0}, std::tuple{-5, +1, -4}, std::tuple{500, +1, 300},
          std::tuple{500, -1, 499}, std::tuple{0, -1, 0}, std::tuple{299, +1, 300}}) {
        g_fireTime = static_cast<std::uint32_t>(from);
        ui::StepFireTime(delta);
        EXPECT_EQ(static_cast<std::int32_t>(g_fireTime), to) << from << " by " << delta;
    }
    g_fireTime = 50;
}

// The dispatch on a stand-in for the window: what a click asks for reaches the target.
class RecordingTarget final : public ui::ClickTarget {
public:
    QWidget& Widget() override { return widget; }
    const ui::PageLayouts& layouts() const override { return pages; }
    MacroControls* macroControls() const override { return nullptr; }
    void StartBlinkThread() override { calls.push_back("blink"); }
    void StartLedPreviewThread() override { calls.push_back("preview"); }
    void OpenFunctionPopup(int mainIndex) override {
        calls.push_back("open " + std::to_string(mainIndex));
    }
    void CloseFunctionPopup() override { calls.push_back("close popup"); }
    void OnPickLedColor(int button) override {
        calls.push_back("colour " + std::to_string(button));
    }
    void OnMacroButton(int advIndex) override {
        calls.push_back("macro " + std::to_string(advIndex));
    }
    void OnClose() override { calls.push_back("close"); }
    void OnImportConfigIni() override { calls.push_back("import"); }
    void OnExportConfigIni() override { calls.push_back("export"); }
    void OnRestoreDefaults() override { calls.push_back("factory"); }
    void OnLangChinese() override { calls.push_back("chinese"); }
    void OnLangEnglish() override { calls.push_back("english"); }

    QWidget widget;
    ui::PageLayouts pages;
    std::vector<std::string> calls;
};

TEST(ClickDispatch, ReachesTheWindowOnlyThroughItsTarget) {
    testing_support::TestApplication();
    RecordingTarget target;
    target.pages.m_posMain[ui::MainSlotFirst + 2] = {100, 100, 20, 20};
    target.pages.m_posMain[ui::FrameExport] = {0, 0, 10, 10};
    target.pages.m_posMain[ui::TabColor] = {20, 0, 10, 10};
    const std::uint8_t savedPage = g_page;
    g_page = PageMain;

    ui::OnMouseMove(target, {105, 105});
    EXPECT_EQ(g_hoverMain, ui::MainSlotFirst + 2);
    ui::OnLButtonDown(target, {105, 105});
    ui::OnLButtonUp(target, {105, 105});
    ui::OnMouseMove(target, {5, 5});
    ui::OnLButtonDown(target, {5, 5});
    ui::OnLButtonUp(target, {5, 5});
    ui::OnMouseMove(target, {25, 5});
    ui::OnLButtonDown(target, {25, 5});
    EXPECT_EQ(g_page.load(), PageColor);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"close popup", "open 24", "close popup",
                                                      "export", "close popup", "preview"}));

    g_page = savedPage;
    g_hoverMain = g_hoverColor = g_hoverAdv = ui::NoHover;
    g_mousePressed = 0;
}

}  // namespace
