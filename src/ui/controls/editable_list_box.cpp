// The in-place editor: opening the edit box, committing or cancelling, and the messages.
#include "ui/controls/editable_list_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>

CEditHelper::CEditHelper(CEditableListBox* list) : QLineEdit(list->viewport()), list_(list) {
    setFrame(true);
    hide();
}

void CEditHelper::CreateEditWindow(const QRect& rect) {
    setGeometry(rect);
    hasWindow_ = true;
    show();
    raise();
}

void CEditHelper::DestroyEditWindow() {
    if (!hasWindow_ || destroying_) {
        return;
    }
    destroying_ = true;
    // While the window goes it still exists: a commit request from the focus loss reaches a
    // list that has already cleared the line under edit.
    if (hasFocus()) {
        clearFocus();
    }
    hide();
    hasWindow_ = false;
    destroying_ = false;
}

void CEditHelper::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc belong to the edit (on key release); they must not reach the dialog,
    // where they would press its default button or close it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CEditHelper::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            ui::SendWindowMessage(list_, WM_LISTEDIT_END, 1, 0);
        } else if (event->key() == Qt::Key_Escape) {
            ui::SendWindowMessage(list_, WM_LISTEDIT_END, 0, 0);
        }
    }
    QLineEdit::keyReleaseEvent(event);
}

void CEditHelper::focusOutEvent(QFocusEvent* event) {
    // The edit's own context menu takes no focus on the platform and ends nothing.
    if (event->reason() != Qt::PopupFocusReason) {
        ui::SendWindowMessage(list_, WM_LISTEDIT_END, 1, 0);
    }
    QLineEdit::focusOutEvent(event);
}

CEditableListBox::CEditableListBox(QWidget* parent, unsigned style)
    : CListBoxWidget(parent, style), edit_(this) {
    // The user scrolling the list (scroll bar or wheel) ends the edit before the lines move;
    // the list moving by itself (a line selected, lines added or deleted) does not.
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        connect(bar, &QAbstractSlider::actionTriggered, this, [this](int) { EndEdit(true); });
    }
}

CEditableListBox::~CEditableListBox() {
    // The edit box goes without a commit and without a message from the list.
    closing_ = true;
    itemUnderEdit_ = -1;
    edit_.DestroyEditWindow();
}

bool CEditableListBox::event(QEvent* event) {
    if (event->type() == ui::WindowMessageEvent::EventType()) {
        auto* message = static_cast<ui::WindowMessageEvent*>(event);
        if (message->message() == ui::WM_CHAR) {
            OnChar(static_cast<unsigned>(message->wParam()));
            message->setResult(0);
            return true;
        }
        if (message->message() == WM_LISTEDIT_END) {
            OnEditEnd(message->wParam() != 0);
            message->setResult(0);
            return true;
        }
    }
    return CListBoxWidget::event(event);
}

void CEditableListBox::OnChar(unsigned code) {
    beginRequest_ = code;
    BeginEdit();
}

void CEditableListBox::OnEditEnd(bool commit) {
    EndEdit(commit);
}

void CEditableListBox::BeginEdit() {
    if (beginRequest_ != 1) {
        return;
    }
    beginRequest_ = 0;
    // One edit at a time; and without a selected line there is nothing to edit.
    if (edit_.HasWindow()) {
        return;
    }
    const int sel = GetCurSel();
    if (sel < 0) {
        return;
    }
    QRect rect = visualItemRect(item(sel));
    rect.adjust(0, -2, 0, 2);
    edit_.CreateEditWindow(rect);
    edit_.setFont(font());
    edit_.setText(GetText(sel));
    edit_.setSelection(0, static_cast<int>(edit_.text().size()));
    edit_.setFocus(Qt::OtherFocusReason);
    itemUnderEdit_ = sel;
}

void CEditableListBox::EndEdit(bool commit) {
    if (!edit_.HasWindow() || closing_) {
        return;
    }
    if (ending_) {
        // An end request while this edit is ending: the list re-laid by the commit or by the
        // parent's answer to the end report (a scroll bar shown or hidden), or the focus loss of
        // the edit box going. Only the last is reported, once, as an end of its own.
        if (edit_.IsGoing() && !lateEndReported_) {
            lateEndReported_ = true;
            ui::SendWindowMessage(parentWidget(), WM_LISTEDIT_DONE, 0, 0);
        }
        return;
    }
    ending_ = true;
    lateEndReported_ = false;
    if (commit && itemUnderEdit_ >= 0 && itemUnderEdit_ < count()) {
        const QString oldText = GetText(itemUnderEdit_);
        const QString newText = edit_.text();
        if (oldText != newText) {
            const int at = itemUnderEdit_;
            DeleteString(at);
            const int index =
                (listStyle() & LBS_SORT) != 0 ? AddString(newText) : InsertString(at, newText);
            itemUnderEdit_ = index;
            SetCurSel(index);
            if ((listStyle() & LBS_NOTIFY) != 0) {
                ui::SendWindowMessage(parentWidget(), WM_LISTITEM_CHANGED,
                                      static_cast<std::uintptr_t>(index),
                                      reinterpret_cast<std::intptr_t>(&oldText));
            }
        }
    }
    itemUnderEdit_ = -1;
    edit_.DestroyEditWindow();
    ending_ = false;
    repeatedEnd_ = lateEndReported_;
    ui::SendWindowMessage(parentWidget(), WM_LISTEDIT_DONE, 0, 0);
    repeatedEnd_ = false;
}

void CEditableListBox::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert) {
        BeginEdit();
    }
    CListBoxWidget::keyReleaseEvent(event);
}

void CEditableListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const int sel = GetCurSel();
        if (sel >= 0 && visualItemRect(item(sel)).contains(event->position().toPoint())) {
            BeginEdit();
        }
    }
    CListBoxWidget::mouseReleaseEvent(event);
}

void CEditableListBox::resizeEvent(QResizeEvent* event) {
    CListBoxWidget::resizeEvent(event);
    EndEdit(true);
}
