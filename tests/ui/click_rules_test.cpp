#include "ui/click_dispatch.h"

#include <gtest/gtest.h>

#include <tuple>

#include "profile/profile_settings.h"
#include "ui/window_state.h"

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

}  // namespace
