// A list box with the platform list box's operations and notifications: add, delete, count,
// select (an index outside the list selects nothing), read the selection (-1 for none) and a
// line's text. SelChange and DblClk come only from the user's own clicks and keys, never from
// the program selecting a line, and only when the list has LBS_NOTIFY. Only the left button
// selects: a right or middle click leaves the selection alone. User-interface thread.
#pragma once

#include <QListWidget>
#include <QString>

inline constexpr unsigned LBS_NOTIFY = 0x0001;
inline constexpr unsigned LBS_SORT = 0x0002;

class CListBoxWidget : public QListWidget {
    Q_OBJECT
public:
    explicit CListBoxWidget(QWidget* parent = nullptr, unsigned style = LBS_NOTIFY);

    unsigned listStyle() const { return style_; }
    void SetListStyle(unsigned style) { style_ = style; }
    // The control id the window knows this list by.
    int controlId() const { return controlId_; }
    void SetControlId(int id) { controlId_ = id; }

    int AddString(const QString& text);                // the index it went to
    int InsertString(int index, const QString& text);  // -1 appends
    bool DeleteString(int index);
    int GetCount() const { return count(); }
    void SetCurSel(int index);
    int GetCurSel() const;
    QString GetText(int index) const;
    void ResetContent();
    // The height of one line in pixels (LB_GETITEMHEIGHT), also when the list is empty.
    int GetItemHeight() const;

signals:
    void SelChange();  // LBN_SELCHANGE
    void DblClk();     // LBN_DBLCLK

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void NotifyIfChanged(int before);

    unsigned style_;
    int controlId_ = 0;
};
