#include "ui/pages/click_dispatch.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QUrl>
#include <QWidget>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "macro/macro_commands.h"
#include "profile/profile_settings.h"
#include "profile/profile_switch.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/pages/page_painter.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_rects.h"
#include "ui/skin/window_shape.h"

namespace ui {

namespace {

constexpr int ColorHoverLastAll = 17;  // the colour page's buttons that can react: 0..17

constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr std::uintptr_t HTCAPTION = 2;

bool In(int index, int first, int last) {
    return index >= first && index <= last;
}

// A click's client position as a message packs it.
std::intptr_t PackPoint(QPoint point) {
    return static_cast<std::intptr_t>(((static_cast<std::uint32_t>(point.y()) & 0xFFFF) << 16) |
                                      (static_cast<std::uint32_t>(point.x()) & 0xFFFF));
}

void DragWindow(ClickTarget& dlg, QPoint point) {
    PostWindowMessage(&dlg.Widget(), WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(point));
}

QRect ToQRect(const RECT& rc) {
    return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

// The advanced page's controls come and go with the page.
void EnterAdvancedPage(ClickTarget& dlg) {
    g_page = PageAdvanced;
    dlg.Widget().update(g_rgnWindow);
    if (MacroControls* controls = dlg.macroControls()) {
        const MacroControlRects rects{ToQRect(g_rcEditRepeat),   ToQRect(g_rcEditTrack),
                                      ToQRect(g_rcEditFireTime), ToQRect(g_rcEditMacroName),
                                      ToQRect(g_rcMacroList),    ToQRect(g_rcStepList)};
        controls->CreateMacroControls(&dlg.Widget(), rects, FireTimeText());
        controls->RefillMacroList();
    }
}

void LeaveAdvancedPage(ClickTarget& dlg) {
    if (MacroControls* controls = dlg.macroControls()) {
        controls->DestroyMacroControls();
    }
}

void EnterMainPage(ClickTarget& dlg) {
    g_page = PageMain;
    dlg.StartBlinkThread();
    dlg.Widget().update();
}

void EnterColorPage(ClickTarget& dlg) {
    g_page = PageColor;
    dlg.StartLedPreviewThread();
    dlg.Widget().update();
}

void MainPageDown(ClickTarget& dlg, QPoint point) {
    // Any click on the main page closes an open function popup first.
    dlg.CloseFunctionPopup();
    const int index = g_hoverMain;
    if (index == TabAdvanced) {
        EnterAdvancedPage(dlg);
    } else if (index == TabColor) {
        EnterColorPage(dlg);
    } else if (In(index, MainSlotFirst, MainSlotLast)) {
        dlg.OpenFunctionPopup(index);
    } else if (index == MainWheelOff || index == MainWheelOn) {
        g_wheelStatus = index == MainWheelOn ? 1 : 0;
    } else if (index == MainModeOn || index == MainModeOff) {
        g_modeStatus = index == MainModeOn ? 1 : 0;
    } else if (In(index, MainDpiColorFirst, MainDpiColorLast)) {
        dlg.OnPickLedColor(index);
    } else if (In(index, MainDpiEnableFirst, MainDpiEnableLast)) {
        SwitchDpiLevelEnable(index - MainDpiEnableFirst);
    } else if (In(index, MainDpiLevelFirst, MainDpiLevelLast)) {
        const int j = index - MainDpiLevelFirst;
        if (g_dpiSetEn[j]) {
            g_dpiLevel = static_cast<std::uint32_t>(j);
        }
    } else if (In(index, MainDpiCellFirst, MainDpiCellLast)) {
        const int cell = index - MainDpiCellFirst;
        g_dpiSet[cell / DpiCellsPerLevel] = static_cast<std::uint8_t>(cell % DpiCellsPerLevel);
        dlg.Widget().update();
    } else if (index == NoHover) {
        DragWindow(dlg, point);
    }
}

void AdvancedPageDown(ClickTarget& dlg, QPoint point) {
    if (g_hoverMain == TabMain) {
        LeaveAdvancedPage(dlg);
        EnterMainPage(dlg);
        return;
    }
    if (g_hoverMain == TabColor) {
        LeaveAdvancedPage(dlg);
        EnterColorPage(dlg);
        return;
    }
    const int index = g_hoverAdv;
    if (In(index, AdvOpenList, AdvMode2) || index == AdvTrackInsert || index == AdvTrackMode) {
        dlg.OnMacroButton(index);
    } else if (In(index, AdvDpiSpeedFirst, AdvDpiSpeedLast)) {
        g_dpiSpeed = static_cast<std::uint8_t>(index - AdvDpiSpeedFirst);
    } else if (In(index, AdvWheelSpeedFirst, AdvWheelSpeedLast)) {
        g_wheelSpeed = static_cast<std::uint8_t>(index - AdvWheelSpeedFirst);
    } else if (index == AdvFireTrack) {
        g_fireTime = FireTimeAt(point.x(), dlg.layouts().m_posAdv[AdvFireTrack]);
        dlg.Widget().update();
    } else if (index == AdvFireUp || index == AdvFireDown) {
        StepFireTime(index == AdvFireUp ? 1 : -1);
        dlg.Widget().update();
    } else if (In(index, AdvUsbSpeedFirst, AdvUsbSpeedLast)) {
        g_usbSpeed = static_cast<std::uint8_t>(index - AdvUsbSpeedFirst);
    } else if (index == NoHover && g_hoverMain == NoHover) {
        DragWindow(dlg, point);
    }
}

void ColorPageDown(ClickTarget& dlg, QPoint point) {
    if (g_hoverMain == TabMain) {
        EnterMainPage(dlg);
        return;
    }
    if (g_hoverMain == TabAdvanced) {
        EnterAdvancedPage(dlg);
        return;
    }
    const int index = g_hoverColor;
    if (In(index, 0, ColorCycleLast)) {
        ToggleCycleColor(index);
    } else if (In(index, ColorLedTypeFirst, ColorLedTypeLast)) {
        g_ledType = static_cast<std::uint8_t>(index - ColorLedTypeFirst);
    } else if (In(index, ColorCycTimeFirst, ColorCycTimeLast)) {
        g_ledCycTime = static_cast<std::uint8_t>(ColorCycTimeLast - index);
    } else if (index == NoHover && g_hoverMain == NoHover) {
        DragWindow(dlg, point);
    }
}

// Repaints when a hover index changed since its last redraw; the advanced page around its
// child controls.
void RepaintOnHoverChange(ClickTarget& dlg, std::int32_t hover, std::int32_t& previous) {
    if (hover == previous) {
        return;
    }
    if (g_page == PageAdvanced) {
        dlg.Widget().repaint(g_rgnWindow);
    } else {
        dlg.Widget().repaint();
    }
    previous = hover;
}

}  // namespace

std::int32_t HitTestRects(QPoint pt, const ButtonPos* rects, int last) {
    for (int i = 0; i <= last; ++i) {
        if (rects[i].Contains(pt.x(), pt.y())) {
            return i;
        }
    }
    return NoHover;
}

int MainHoverLast(std::uint8_t page) {
    return page == PageMain ? MainRectCount - 1 : FrameButtonCount - 1;
}

int ColorHoverLast(std::uint8_t ledType) {
    return ledType <= 1 ? ColorHoverLastAll : ColorLedTypeLast;
}

void SwitchDpiLevelEnable(int j) {
    if (!g_dpiSetEn[j]) {
        g_dpiSetEn[j] = true;  // switching on never moves the current level
        return;
    }
    g_dpiSetEn[j] = false;
    if (static_cast<std::uint32_t>(j) != g_dpiLevel) {
        return;
    }
    int level = j;
    for (int tries = 0; tries < DpiLevelCount; ++tries) {
        level = (level + 1) % DpiLevelCount;
        if (g_dpiSetEn[level]) {
            g_dpiLevel = static_cast<std::uint32_t>(level);
            return;
        }
    }
    // j was the only enabled level: it stays on and current.
    g_dpiLevel = static_cast<std::uint32_t>(j);
    g_dpiSetEn[j] = true;
}

std::uint32_t FireTimeAt(int x, const ButtonPos& track) {
    const std::uint32_t offset =
        static_cast<std::uint32_t>(x) - static_cast<std::uint32_t>(track.x);
    const std::uint32_t width = static_cast<std::uint32_t>(track.w);
    return width == 0 ? 0 : (offset * static_cast<std::uint32_t>(MaxFireTime)) / width;
}

void StepFireTime(int delta) {
    // The stored value is a signed count (a hand-edited config.ini may hold a negative one,
    // which the page shows as such): step it as one, so "down" never goes below 0.
    const auto fireTime = static_cast<std::int32_t>(g_fireTime);
    std::int32_t next = fireTime;
    if (delta > 0) {
        next = fireTime >= MaxFireTime ? MaxFireTime : fireTime + 1;
    } else if (delta < 0) {
        next = fireTime <= 0 ? 0 : fireTime - 1;
    }
    g_fireTime = static_cast<std::uint32_t>(next);
}

void ToggleCycleColor(int k) {
    if (g_cycColorOn[k].load() == 0) {
        g_cycColorOn[k] = 1;
        return;
    }
    int on = 0;
    for (const auto& flag : g_cycColorOn) {
        on += flag.load() != 0 ? 1 : 0;
    }
    if (on >= 2) {
        g_cycColorOn[k] = 0;
    }
}

QString HelpPagePath() {
    return g_strExeDir + QStringLiteral("/help.html");
}

void OnMouseMove(ClickTarget& dlg, QPoint point) {
    const PageLayouts& layouts = dlg.layouts();
    g_hoverMain = HitTestRects(point, layouts.m_posMain.data(), MainHoverLast(g_page));
    g_hoverColor = HitTestRects(point, layouts.m_posColor.data(), ColorHoverLast(g_ledType));
    g_hoverAdv = HitTestRects(point, layouts.m_posAdv.data(), AdvHoverLast);
    RepaintOnHoverChange(dlg, g_hoverMain, g_prevHoverMain);
    RepaintOnHoverChange(dlg, g_hoverColor, g_prevHoverColor);
    RepaintOnHoverChange(dlg, g_hoverAdv, g_prevHoverAdv);
}

void OnLButtonDown(ClickTarget& dlg, QPoint point) {
    if (g_hoverMain != NoHover || g_hoverColor != NoHover || g_hoverAdv != NoHover) {
        g_mousePressed = 1;
        dlg.Widget().update();
    }
    switch (g_page) {
        case PageMain:
            MainPageDown(dlg, point);
            return;
        case PageAdvanced:
            AdvancedPageDown(dlg, point);
            return;
        case PageColor:
            ColorPageDown(dlg, point);
            return;
        default:
            return;
    }
}

void OnLButtonUp(ClickTarget& dlg, QPoint point) {
    g_mousePressed = 0;
    dlg.Widget().update();
    const int button = g_hoverMain;
    if (In(button, FrameProfile1, FrameProfile4)) {
        SwitchProfile(button - FrameProfile1 + 1);
        dlg.Widget().update();
        return;
    }
    switch (button) {
        case FrameHide:
            // The window goes away under the pointer: no movement would clear the hover.
            g_hoverMain = NoHover;
            HideSettingsStep();
            dlg.OnClose();
            dlg.Widget().update();
            return;
        case FrameApply:
            ApplySettings();
            return;
        case FrameMinimise:
            g_hoverMain = NoHover;
            PostWindowMessage(&dlg.Widget(), WM_SYSCOMMAND, SC_MINIMIZE, PackPoint(point));
            return;
        case FrameClose:
            g_hoverMain = NoHover;
            dlg.OnClose();
            return;
        case FrameImport:
            dlg.OnImportConfigIni();
            return;
        case FrameExport:
            dlg.OnExportConfigIni();
            return;
        case FrameFactory:
            dlg.OnRestoreDefaults();
            return;
        case FrameChinese:
            dlg.OnLangChinese();
            return;
        case FrameEnglish:
            dlg.OnLangEnglish();
            return;
        case FrameWebPage:
            QDesktopServices::openUrl(QUrl::fromLocalFile(HelpPagePath()));
            return;
        default:
            return;  // the title, the profile caption and the tabs act on button-down
    }
}

}  // namespace ui
