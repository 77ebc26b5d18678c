// The main page's repaint on the offscreen platform at the skin's size: composed from cached
// skin images against decoding the page's three images on every paint, and a pointer moving
// across ten buttons (one hover repaint per button).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <array>

#include "profile/profile_settings.h"
#include "ui/pages/page_painter.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_font.h"
#include "ui/skin/skin_image_cache.h"
#include "ui/skin/skin_images.h"

namespace {

const QString SkinDir = QStringLiteral(ZELBO_PROGRAM_DIR "/skins");

class NoWindow final : public ui::SkinWindowHooks {
public:
    void AddTrayIcon() override {}
    void ShowMinimized() override {}
    void HideWindow() override {}
};

// The program's state for painting: the shipped skin's main page with its caption font.
struct Scene {
    Scene() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "paint_bench";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        NoWindow window;
        ui::LoadSkinMain(layouts, window, SkinDir, 0);
        g_font = ui::MakeSkinFont();
        size = QImage(ui::SkinImagePath(SkinDir, ui::MainMaskImage)).size();
        screen = QImage(size, QImage::Format_RGB32);
        g_page = PageMain;
        g_hoverMain = ui::NoHover;
    }
    // One repaint as the window does it: compose, then one copy to the window's surface.
    void Repaint() {
        QPainter painter(&screen);
        painter.drawImage(0, 0, ui::ComposePage(layouts, images, SkinDir, size));
    }

    QApplication* app = nullptr;
    ui::PageLayouts layouts;
    ui::SkinImageCache images;
    QSize size;
    QImage screen;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_MainRepaintCached(benchmark::State& state) {
    Scene& scene = TheScene();
    scene.Repaint();  // the first paint fills the cache
    for (auto _ : state) {
        scene.Repaint();
    }
}
BENCHMARK(BM_MainRepaintCached)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_MainRepaintDecodingEveryPaint(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.images.Clear();
        scene.Repaint();
    }
    scene.images.Clear();
}
BENCHMARK(BM_MainRepaintDecodingEveryPaint)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// Frame buttons and slots in a row, as the pointer crosses them; each a hover repaint.
void BM_PointerAcrossTenButtons(benchmark::State& state) {
    constexpr std::array<int, 10> Buttons = {4, 5, 6, 7, 22, 23, 24, 25, 26, 27};
    Scene& scene = TheScene();
    scene.Repaint();
    for (auto _ : state) {
        for (int button : Buttons) {
            g_hoverMain = button;
            scene.Repaint();
        }
    }
    g_hoverMain = ui::NoHover;
}
BENCHMARK(BM_PointerAcrossTenButtons)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
