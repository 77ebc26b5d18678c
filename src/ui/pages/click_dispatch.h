// Hit-testing and click dispatch of the skinned window. The window has no buttons of its own:
// every button is a skin rectangle. Every pointer movement works out which rectangle of each
// page lies under the pointer (the three hover indexes of window_state.h) and repaints when
// one changed; button-down acts on the page shown (page tabs, settings of the current profile,
// the function popup, the macro buttons, the window drag); button-up acts on the frame button
// under the pointer (hide, Apply, profiles, minimise, close, profile files, factory settings,
// languages, the help page). A click never talks to the mouse; only Apply sends the settings.
//
// The rules that need no window (hit test, DPI enable switch, fire-time track, cycle colours)
// are free functions, so they can be checked alone. What a click asks of the window goes
// through ClickTarget, which the main window implements. User-interface thread only.
#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>

#include "ui/skin/skin_layout_file.h"

class MacroControls;
class QWidget;

namespace ui {

struct PageLayouts;

// The window the clicks land on: the widget itself (repaints, the messages a click posts, the
// macro controls' parent), its layouts and the entry points a click reaches.
class ClickTarget {
public:
    virtual ~ClickTarget() = default;
    virtual QWidget& Widget() = 0;
    virtual const PageLayouts& layouts() const = 0;
    virtual MacroControls* macroControls() const = 0;
    virtual void StartBlinkThread() = 0;
    virtual void StartLedPreviewThread() = 0;
    virtual void OpenFunctionPopup(int mainIndex) = 0;
    virtual void CloseFunctionPopup() = 0;
    virtual void OnPickLedColor(int button) = 0;
    virtual void OnMacroButton(int advIndex) = 0;
    virtual void OnClose() = 0;
    virtual void OnImportConfigIni() = 0;
    virtual void OnExportConfigIni() = 0;
    virtual void OnRestoreDefaults() = 0;
    virtual void OnLangChinese() = 0;
    virtual void OnLangEnglish() = 0;
};

// The index of the first rectangle among 0..last (inclusive) that contains pt, tested in
// ascending order; NoHover when none does or last is negative.
std::int32_t HitTestRects(QPoint pt, const ButtonPos* rects, int last);

// Last rectangle each page's hover index looks at.
int MainHoverLast(std::uint8_t page);      // the whole main page there, else the frame only
int ColorHoverLast(std::uint8_t ledType);  // the cycle-time buttons only react to types 0 and 1
inline constexpr int AdvHoverLast = 38;

// The enable switch of DPI level j (0..5). Switching off the current level moves the current
// level to the next enabled one cyclically; the last enabled level stays on and current.
void SwitchDpiLevelEnable(int j);
// The fire time for a click at x on the fire-time track: ((x - r.x) * 300) / r.w, the product
// kept to 32 bits and divided unsigned, so 0 at the left edge and 299 at the rightmost pixel.
std::uint32_t FireTimeAt(int x, const ButtonPos& track);
// Buttons 31 and 32 of the fire-time track: one millisecond up (at most 300) or down (at
// least 0), the value taken as the signed count it is.
void StepFireTime(int delta);
// Cycle colour k (0..6) on or off; the last colour that is on stays on.
void ToggleCycleColor(int k);

// The help page shipped beside the program, opened by the web-page frame button.
QString HelpPagePath();

// The window's handlers: point in client coordinates.
void OnMouseMove(ClickTarget& dlg, QPoint point);
void OnLButtonDown(ClickTarget& dlg, QPoint point);
void OnLButtonUp(ClickTarget& dlg, QPoint point);

}  // namespace ui
