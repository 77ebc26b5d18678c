// The two popups that give a button slot its function. The button popup CMenuDlg lists ten
// rows: six assign a function at once, four open the group popup CSubMenuDlg beside the hovered
// row (DPI and profile functions, media keys, built-in macros, the user's macros). A choice
// changes KeyFunc of the current profile in memory only; Apply saves and sends it.
//
// Both are frameless windows owned by their opener (the main window, the button popup), so
// they stay beside it and go with it; they never take the keyboard focus and never close on
// losing activation. "Destroying" a popup's window hides it and frees the object once control
// is back in the event loop, so a popup may end while one of its own handlers runs.
//
// The popup state below is user-interface thread only, as are both classes.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <cstdint>

class CSubMenuDlg;

// Hovered row of the button popup: 1..12, 255 none.
extern std::int32_t g_menuSel;
// The last g_menuSel that repainted the button popup; kept from one popup to the next.
extern std::int32_t g_menuPrevSel;
// The left button went down in the button popup (the hovered row shows pressed).
extern bool g_menuPressed;
// The open group popup and its row count.
extern CSubMenuDlg* g_pSubMenuDlg;
extern bool g_subMenuOpen;
extern std::int32_t g_subMenuRows;
// The function code of the last group-popup choice.
extern std::int32_t g_subMenuLastCode;
// The last hovered group row that repainted a group popup; kept from one popup to the next.
extern std::int32_t g_subMenuPrevSel;

namespace ui {

// The button popup's title; the group popup finds it by this.
inline constexpr char MenuDlgTitle[] = "MainMenuDlg";
// Window sizes of the two popups; their shapes are the rows' rectangle inside.
inline constexpr int MenuDlgWindowWidth = 300;
inline constexpr int MenuDlgWindowHeight = 300;
inline constexpr int SubMenuDlgWindowWidth = 300;
inline constexpr int SubMenuDlgWindowHeight = 400;

// Writes code into the clicked slot (g_clickedSlot - 22) of the current profile and keeps one
// left click (code 1) among slots 0..6: when none is left, the next slot takes it over, or the
// last slot takes it back. A slot or profile outside the table changes nothing.
void ApplyButtonChoice(std::int32_t code);

// What both popups are: a frameless tool window transient for its owner, so that a window
// manager keeps it above the owner however the owner is raised, and never activated, with no
// pointer grab, mouse tracking and no background erase. It opens exactly where it is put.
class PopupWindow : public QDialog {
public:
    explicit PopupWindow(QWidget* owner);

    // Hides the window and every popup it owns, and frees the object later.
    void DestroyWindow();
    bool IsWindowDestroyed() const { return destroyed_; }

private:
    bool destroyed_ = false;
};

}  // namespace ui

class CMenuDlg final : public ui::PopupWindow {
public:
    // Created hidden, with its title and shape; the opener places and shows it.
    explicit CMenuDlg(QWidget* owner);
    ~CMenuDlg() override;

    int RowWidth() const { return m_rowWidth; }
    int RowHeight() const { return m_rowHeight; }
    // Row 1..12 under a client point, 255 for none.
    int HitTest(QPoint point) const;
    // The popup's picture before it reaches the screen: background, the hovered row's band and
    // the row texts, for the state in g_menuSel and g_menuPressed.
    QImage ComposeRows() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool OnInitDialog();
    void OpenGroupPopup();
    // A movement or release of a press made here with the pointer outside this popup's shape:
    // given to the group popup when over its shape, else dropped. False inside the shape.
    bool HandToGroupPopup(QMouseEvent* event);

    int m_rowWidth = 0;
    int m_shapeHeight = 0;
    int m_rowHeight = 0;
};

class CSubMenuDlg final : public ui::PopupWindow {
public:
    // Reads the parent row from g_menuSel and the macro count now; created hidden.
    explicit CSubMenuDlg(CMenuDlg* owner);
    ~CSubMenuDlg() override;

    // Row 1..g_subMenuRows under a client point, 255 for none.
    int HitTest(QPoint point) const;
    // The function code row r assigns.
    std::int32_t CodeOfRow(int row) const;
    QImage ComposeRows() const;

    // Shows the popup unless its shape is empty (a macro group without macros).
    void ShowWindow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool OnInitDialog();

    bool m_pressed = false;
    int m_rowWidth = 0;
    int m_shapeHeight = 0;
    int m_rowHeight = 0;
    int m_hoverRow = 255;
    int parentRow_ = 0;
};
