// The button popup on the shipped skin: it is opened, and the pointer crosses its ten rows one
// after the other; each row is a movement, the repaint it causes (which replaces the group
// popup beside rows 7..10) and the new group popup's first paint. The time of one such hover
// is measured; the counter hover_median_ms is the median over all hovers, group_hover_median_ms
// over the hovers of rows 7..10. Offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <vector>

#include "common/paths.h"
#include "macro/macro_record.h"
#include "ui/popups/function_popups.h"
#include "ui/popups/slot_popup.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_font.h"

namespace {

class QuietHooks final : public ui::SkinWindowHooks {
public:
    void AddTrayIcon() override {}
    void ShowMinimized() override {}
    void HideWindow() override {}
};

QApplication& App() {
    static int argc = 1;
    static char name[] = "function_popup_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

void MoveTo(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_HoverAcrossTheButtonPopup(benchmark::State& state) {
    App();
    g_strSkinDir = QStringLiteral(ZELBO_PROGRAM_DIR "/skins");
    ui::PageLayouts layouts;
    QuietHooks hooks;
    ui::LoadSkinMain(layouts, hooks, g_strSkinDir, 1);
    g_font = ui::MakeSkinFont();
    g_macroCount = 3;
    for (int i = 0; i < 3; ++i) {
        SetMacroName(g_macros[i], QStringLiteral("Macro %1").arg(i + 1));
    }
    QWidget owner;
    g_clickedSlot = 24;

    std::vector<double> hovers;
    std::vector<double> groupHovers;  // rows 7..10, which open a group popup
    CMenuDlg* menu = nullptr;
    int row = 0;
    for (auto _ : state) {
        if (row == 0) {
            ui::CloseFunctionPopup();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            menu = new CMenuDlg(&owner);
            g_pMenuDlg = menu;
            g_menuDlgOpen = 1;
            menu->setGeometry(200, 400, ui::MenuDlgWindowWidth, ui::MenuDlgWindowHeight);
            menu->show();
            QApplication::processEvents();
        }
        const auto start = std::chrono::steady_clock::now();
        MoveTo(menu, QPoint(menu->RowWidth() / 2, row * menu->RowHeight() + menu->RowHeight() / 2));
        QApplication::processEvents();  // the repaint the movement asked for
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        if ((row >= 6) != (g_pSubMenuDlg != nullptr && !g_pSubMenuDlg->IsWindowDestroyed())) {
            state.SkipWithError("the hover did not repaint the popup");
            break;
        }
        hovers.push_back(took.count() * 1000.0);
        if (row >= 6) {
            groupHovers.push_back(took.count() * 1000.0);
        }
        row = (row + 1) % 10;
    }
    ui::CloseFunctionPopup();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.counters["hover_median_ms"] = Median(hovers);
    state.counters["group_hover_median_ms"] = Median(groupHovers);
}
BENCHMARK(BM_HoverAcrossTheButtonPopup)
    ->UseManualTime()
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
