// A click on one of the main page's seven button slots: the warning first when the slot holds
// the profile's only left click, then the button popup at the slot's lower left corner; and
// the popup's end by the main page's next button-down or by the paint after a group choice.
// User-interface thread only.
#pragma once

class QMouseEvent;
class QWidget;

namespace ui {

struct PageLayouts;

// The window the popups open from (the main window implements it): the widget that owns them
// and is repainted, and its layouts with the slots' rectangles. After a group choice the group
// popup repaints the window of this kind that bears the main window's title.
class PopupOwner {
public:
    virtual ~PopupOwner() = default;
    virtual QWidget& Widget() = 0;
    virtual const PageLayouts& layouts() const = 0;
    // The program is ending (the mouse was removed): no popup opens any more.
    virtual bool IsEnding() const = 0;
};

// Main-page rectangle mainIndex (22..28, button slots 0..6); any other index does nothing.
void OpenFunctionPopup(PopupOwner& dlg, int mainIndex);

// Destroys the open button popup's window, with its group popup, and clears g_menuDlgOpen.
void CloseFunctionPopup();

// A movement or release that the main window received while its button is held (the press
// that opened the popup) but that happened over an open popup: it belongs to that popup, as
// if the pointer had not been held by the main window. True when it was handed over.
bool HandToFunctionPopup(QMouseEvent* event);

}  // namespace ui
