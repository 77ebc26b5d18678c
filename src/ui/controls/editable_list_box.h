// A list box whose selected line can be edited in place. The owner sends it WM_CHAR 1 to open
// an edit box over the selected line; Enter, a focus loss, scrolling or resizing commit the
// edit, Esc cancels it. The list tells its parent window with window messages: 0x8840 after a
// commit that changed the line (lists with LBS_NOTIFY) and WM_USER+10 after every end of an
// edit. The list knows nothing of what its lines mean. User-interface thread only.
#pragma once

#include "ui/controls/list_box.h"
#include "ui/shell/window_message.h"

#include <QLineEdit>

// The messages of the in-place editor.
inline constexpr unsigned WM_LISTEDIT_END = 0x8841;      // edit box -> list: 1 commit, 0 cancel
inline constexpr unsigned WM_LISTITEM_CHANGED = 0x8840;  // list -> parent: index, const QString*
inline constexpr unsigned WM_LISTEDIT_DONE = ui::WM_USER + 10;  // list -> parent: (0, 0)

// The edit box's style, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, with a client edge.
inline constexpr unsigned ListEditStyle = 0x50800080;
inline constexpr int ListEditControlId = 1;

class CEditableListBox;

// The edit box over the line under edit. The object lives as long as its list; its window
// (shown, with a geometry) exists only while an edit is open.
class CEditHelper : public QLineEdit {
    Q_OBJECT
public:
    explicit CEditHelper(CEditableListBox* list);

    bool HasWindow() const { return hasWindow_; }
    // The window is being taken down (DestroyEditWindow has not returned yet).
    bool IsGoing() const { return destroying_; }
    void CreateEditWindow(const QRect& rect);
    // Hides the window; a focus loss that this brings is reported like any other.
    void DestroyEditWindow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CEditableListBox* list_;
    bool hasWindow_ = false;
    bool destroying_ = false;
};

class CEditableListBox : public CListBoxWidget {
    Q_OBJECT
public:
    explicit CEditableListBox(QWidget* parent = nullptr, unsigned style = LBS_NOTIFY);
    ~CEditableListBox() override;

    CEditHelper& editBox() { return edit_; }
    int itemUnderEdit() const { return itemUnderEdit_; }
    // True while WM_USER+10 is delivered for an edit whose end was already reported (by the
    // focus loss of its edit box): the parent has applied that edit once already.
    bool EndAlreadyReported() const { return repeatedEnd_; }

    void BeginEdit();
    void EndEdit(bool commit);

protected:
    bool event(QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnChar(unsigned code);
    void OnEditEnd(bool commit);

    CEditHelper edit_;
    int itemUnderEdit_ = -1;
    unsigned beginRequest_ = 0;
    bool closing_ = false;
    // An EndEdit is running, and whether it has reported the focus loss of its edit box: one
    // edit ends once (twice at most, that focus loss included), whatever the list does meanwhile.
    bool ending_ = false;
    bool lateEndReported_ = false;
    bool repeatedEnd_ = false;
};
