// The list box operations on QListWidget.
#include "ui/controls/list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>

CListBoxWidget::CListBoxWidget(QWidget* parent, unsigned style)
    : QListWidget(parent), style_(style) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
}

int CListBoxWidget::AddString(const QString& text) {
    if ((style_ & LBS_SORT) != 0) {
        int index = 0;
        // The platform's sorted list compares without regard to case.
        while (index < count() &&
               QString::compare(item(index)->text(), text, Qt::CaseInsensitive) <= 0) {
            ++index;
        }
        insertItem(index, text);
        return index;
    }
    addItem(text);
    return count() - 1;
}

int CListBoxWidget::InsertString(int index, const QString& text) {
    if (index < 0 || index > count()) {
        index = count();
    }
    insertItem(index, text);
    return index;
}

bool CListBoxWidget::DeleteString(int index) {
    if (index < 0 || index >= count()) {
        return false;
    }
    delete takeItem(index);
    return true;
}

void CListBoxWidget::SetCurSel(int index) {
    if (index >= 0 && index < count()) {
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    } else {
        clearSelection();
        setCurrentRow(-1, QItemSelectionModel::Clear);
    }
}

int CListBoxWidget::GetCurSel() const {
    const QListWidgetItem* current = currentItem();
    return current != nullptr && current->isSelected() ? currentRow() : -1;
}

QString CListBoxWidget::GetText(int index) const {
    const QListWidgetItem* line = item(index);
    return line != nullptr ? line->text() : QString();
}

void CListBoxWidget::ResetContent() {
    while (count() > 0) {
        DeleteString(count() - 1);
    }
}

int CListBoxWidget::GetItemHeight() const {
    if (count() > 0) {
        return sizeHintForRow(0);
    }
    // An empty list has no line to measure: a line of the list's font.
    return fontMetrics().height();
}

void CListBoxWidget::NotifyIfChanged(int before) {
    if ((style_ & LBS_NOTIFY) != 0 && GetCurSel() != before) {
        emit SelChange();
    }
}

void CListBoxWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();  // not a selecting button: the view must not select the line
        return;
    }
    const int before = GetCurSel();
    QListWidget::mousePressEvent(event);
    NotifyIfChanged(before);
}

void CListBoxWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListWidget::mouseDoubleClickEvent(event);
    if ((style_ & LBS_NOTIFY) != 0 && event->button() == Qt::LeftButton) {
        emit DblClk();
    }
}

void CListBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListWidget::mouseReleaseEvent(event);
}

void CListBoxWidget::keyPressEvent(QKeyEvent* event) {
    const int before = GetCurSel();
    QListWidget::keyPressEvent(event);
    NotifyIfChanged(before);
}
