#include "ui/popups/function_popups.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>

#include "macro/macro_record.h"
#include "platform/clock.h"
#include "profile/profile_settings.h"
#include "ui/popups/popup_paint.h"
#include "ui/popups/slot_popup.h"
#include "ui/shell/display_query.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_images.h"

std::int32_t g_menuSel = ui::NoHover;
std::int32_t g_menuPrevSel = 0;
bool g_menuPressed = false;
CSubMenuDlg* g_pSubMenuDlg = nullptr;
bool g_subMenuOpen = false;
std::int32_t g_subMenuRows = 0;
std::int32_t g_subMenuLastCode = 0;
std::int32_t g_subMenuPrevSel = ui::NoHover;

namespace {

using ui::NoHover;

// Rows of the button popup that are hit-tested (the eleventh lies on the shape's last pixel
// line, the twelfth wholly outside it), rows drawn, rows of the shape.
constexpr int MenuHitRows = 12;
constexpr int MenuTextRows = 11;
constexpr int MenuShapeRows = 10;
// The rows that assign at once and the rows that open a group.
constexpr int LastDirectRow = 6;
constexpr int FirstGroupRow = 7;
constexpr int LastGroupRow = 10;
// The button slots are main-page rectangles 22..28.
constexpr int FirstSlotRect = 22;

// The size of the shipped skin's rows, for a popup whose mask cannot be read (or is too small
// to give a row): the popup stays usable, drawn in plain colours.
constexpr int FallbackRowWidth = 168;
constexpr int FallbackRowHeight = 28;

// Pause between the main window's repaint and the group popup's own end.
constexpr int GroupCloseDelayMs = 10;

struct RowSize {
    int width;
    int height;
};

RowSize RowsOfMask(const char* maskName, int maskRows) {
    const QImage mask = ui::PopupImage(maskName);
    if (mask.isNull() || mask.width() < 1 || mask.height() / maskRows < 1) {
        return {FallbackRowWidth, FallbackRowHeight};
    }
    return {mask.width(), mask.height() / maskRows};
}

// First row r in 1..rows whose band (0, (r - 1) * height, width, height) holds the point.
int HitTestRows(QPoint point, int rows, int width, int height) {
    for (int r = 1; r <= rows; ++r) {
        if (QRect(0, (r - 1) * height, width, height).contains(point)) {
            return r;
        }
    }
    return NoHover;
}

// Background, the band of the hovered row (from the pressed or the hover image) and the row
// texts, the hovered one red.
template <typename TextOfRow>
QImage ComposePopupRows(const ui::PageImageSet& images, int maskRows, RowSize size, bool pressed,
                        int hovered, int textRows, TextOfRow textOf) {
    // The rows' whole area, whatever size the background image has (or none).
    QImage canvas(size.width, size.height * maskRows, QImage::Format_RGB32);
    canvas.fill(ui::PopupFallbackBackground);
    QPainter painter(&canvas);
    painter.drawImage(QPoint(0, 0), ui::PopupImage(images.normal));
    if (hovered != NoHover) {
        const QImage band = ui::PopupImage(pressed ? images.down : images.over);
        ui::CopyBand(painter, band, QRect(0, (hovered - 1) * size.height, size.width, size.height),
                     ui::PopupFallbackBand);
    }
    for (int r = 1; r <= textRows; ++r) {
        ui::DrawCentredText(painter, QRect(0, (r - 1) * size.height, size.width, size.height),
                            textOf(r), r == hovered ? ui::PopupTextRed : ui::PopupTextWhite);
    }
    return canvas;
}

// The open button popup, found by its title as the group popup knows it.
CMenuDlg* FindMenuDlg() {
    const QString title = QString::fromLatin1(ui::MenuDlgTitle);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* menu = dynamic_cast<CMenuDlg*>(window);
        if (menu != nullptr && !menu->IsWindowDestroyed() && menu->windowTitle() == title) {
            return menu;
        }
    }
    return nullptr;
}

QWidget* FindMainWindow() {
    const QString title = QString::fromUtf8(MainWindowTitle);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() == title && dynamic_cast<ui::PopupOwner*>(window) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace

// ---- the choice rule ------------------------------------------------------------------------

void ui::ApplyButtonChoice(std::int32_t code) {
    const int profile = g_curConfigIdx.load();
    const int slot = g_clickedSlot - FirstSlotRect;
    if (profile < 0 || profile >= ProfileCount || slot < 0 || slot >= ButtonSlotCount) {
        return;
    }
    auto& row = KeyFunc[profile];
    row[slot] = code;
    for (int i = ButtonSlotCount - 1; i >= 0; --i) {
        if (row[i] == 1) {
            return;
        }
    }
    // No left click left: the next slot takes it over; the last slot takes its own back.
    row[slot == ButtonSlotCount - 1 ? slot : slot + 1] = 1;
}

// ---- both popups ----------------------------------------------------------------------------

ui::PopupWindow::PopupWindow(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void ui::PopupWindow::DestroyWindow() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    for (QObject* child : children()) {
        if (auto* owned = dynamic_cast<PopupWindow*>(child)) {
            owned->DestroyWindow();
        }
    }
    hide();
    deleteLater();
}

// ---- the button popup -----------------------------------------------------------------------

CMenuDlg::CMenuDlg(QWidget* owner) : PopupWindow(owner) {
    OnInitDialog();
}

CMenuDlg::~CMenuDlg() {
    if (g_pMenuDlg == this) {
        g_pMenuDlg = nullptr;
    }
}

bool CMenuDlg::OnInitDialog() {
    setWindowTitle(QString::fromLatin1(ui::MenuDlgTitle));
    // Only the mask's size counts: the rows divide its height.
    const RowSize size = RowsOfMask(ui::MenuMaskImage, ui::MenuMaskRows);
    m_rowWidth = size.width;
    m_rowHeight = size.height;
    m_shapeHeight = MenuShapeRows * m_rowHeight + 1;
    setMask(QRegion(0, 0, m_rowWidth, m_shapeHeight));
    g_menuSel = NoHover;
    return true;
}

int CMenuDlg::HitTest(QPoint point) const {
    return HitTestRows(point, MenuHitRows, m_rowWidth, m_rowHeight);
}

QImage CMenuDlg::ComposeRows() const {
    return ComposePopupRows(ui::MenuImages, ui::MenuMaskRows, {m_rowWidth, m_rowHeight},
                            g_menuPressed, g_menuSel, MenuTextRows,
                            [](int r) { return ui::g_strFunNames[r]; });
}

void CMenuDlg::paintEvent(QPaintEvent*) {
    const QImage canvas = ComposeRows();
    {
        QPainter screen(this);
        screen.drawImage(QPoint(0, 0), canvas, QRect(0, 0, m_rowWidth, m_shapeHeight));
    }
    // Every paint replaces the group popup: a fresh one beside a hovered group row, else none.
    if (g_subMenuOpen) {
        g_subMenuOpen = false;
        if (g_pSubMenuDlg != nullptr) {
            g_pSubMenuDlg->DestroyWindow();
        }
    }
    if (g_menuSel >= FirstGroupRow && g_menuSel <= LastGroupRow) {
        OpenGroupPopup();
    }
}

void CMenuDlg::OpenGroupPopup() {
    // The group's last row comes level with the hovered row when both popups' rows are equal.
    int k = 0;
    switch (g_menuSel) {
        case 7:
            k = -5;
            break;
        case 8:
            k = -3;
            break;
        case 9:
            k = 1;
            break;
        default:
            k = 10 - std::clamp<int>(g_macroCount, 0, MaxUserMacros);
            break;
    }
    const QPoint screen = ui::ScreenPlace(*this);
    auto* group = new CSubMenuDlg(this);
    g_pSubMenuDlg = group;
    g_subMenuOpen = true;
    group->setGeometry(screen.x() + m_rowWidth, screen.y() + k * m_rowHeight,
                       ui::SubMenuDlgWindowWidth, ui::SubMenuDlgWindowHeight);
    group->ShowWindow();
}

bool CMenuDlg::HandToGroupPopup(QMouseEvent* event) {
    // A press on this popup keeps the pointer's events here until the release, wherever the
    // pointer goes. They belong to the window under the pointer: over the group popup's shape
    // they are the group popup's (pressing on a group row, dragging to a function and letting
    // go chooses it); outside both shapes they are nobody's, so they neither move the hover
    // nor choose the row last hovered here.
    if (!(event->buttons() & Qt::LeftButton) && event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    if (mask().contains(event->position().toPoint())) {
        return false;
    }
    CSubMenuDlg* group = g_subMenuOpen ? g_pSubMenuDlg : nullptr;
    if (group != nullptr && !group->IsWindowDestroyed() && group->isVisible()) {
        const QPointF local = event->globalPosition() - ui::ScreenPlace(*group);
        if (group->mask().contains(local.toPoint())) {
            QMouseEvent forwarded(event->type(), local, event->globalPosition(), event->button(),
                                  event->buttons(), event->modifiers());
            QCoreApplication::sendEvent(group, &forwarded);
        }
    }
    return true;
}

void CMenuDlg::mouseMoveEvent(QMouseEvent* event) {
    if (HandToGroupPopup(event)) {
        return;
    }
    g_menuSel = HitTest(event->position().toPoint());
    if (g_menuSel != g_menuPrevSel) {
        update();
        g_menuPrevSel = g_menuSel;
    }
}

void CMenuDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    g_menuPressed = true;
    update();
    QDialog::mousePressEvent(event);
}

void CMenuDlg::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (HandToGroupPopup(event)) {
        g_menuPressed = false;
        update();
        return;
    }
    g_menuPressed = false;
    update();
    if (g_menuSel >= 1 && g_menuSel <= LastDirectRow) {
        ui::ApplyButtonChoice(g_menuSel);
        // The slot (and a neighbour that took over left click) shows its new function now:
        // no pointer movement over the window may follow to repaint it.
        if (QWidget* owner = parentWidget()) {
            owner->update();
        }
    }
    DestroyWindow();
}

// ---- the group popup ------------------------------------------------------------------------

CSubMenuDlg::CSubMenuDlg(CMenuDlg* owner) : PopupWindow(owner) {
    OnInitDialog();
}

CSubMenuDlg::~CSubMenuDlg() {
    if (g_pSubMenuDlg == this) {
        g_pSubMenuDlg = nullptr;
    }
}

bool CSubMenuDlg::OnInitDialog() {
    const RowSize size = RowsOfMask(ui::SubMenuMaskImage, ui::SubMenuMaskRows);
    m_rowWidth = size.width;
    m_rowHeight = size.height;
    // The row the pointer is on in the button popup decides the group, and it stays this
    // popup's group even when the button popup's hover moves on before its next repaint.
    parentRow_ = g_menuSel;
    switch (parentRow_) {
        case 7:
            g_subMenuRows = 12;
            break;
        case 8:
            g_subMenuRows = 11;
            break;
        case 9:
            g_subMenuRows = 8;
            break;
        case 10:
            g_subMenuRows = std::clamp<int>(g_macroCount, 0, MaxUserMacros);
            break;
        default:
            g_subMenuRows = 0;
            break;
    }
    m_shapeHeight = g_subMenuRows > 0 ? g_subMenuRows * m_rowHeight + 1 : 0;
    setMask(QRegion(0, 0, m_rowWidth, m_shapeHeight));
    m_hoverRow = NoHover;
    g_popupChoiceMade = 0;
    m_pressed = false;
    return true;
}

void CSubMenuDlg::ShowWindow() {
    // An empty shape shows nothing (an empty mask would show the whole window instead).
    if (m_shapeHeight > 0) {
        show();
    }
}

int CSubMenuDlg::HitTest(QPoint point) const {
    if (g_subMenuRows < 1) {
        return NoHover;
    }
    return HitTestRows(point, g_subMenuRows, m_rowWidth, m_rowHeight);
}

std::int32_t CSubMenuDlg::CodeOfRow(int row) const {
    switch (parentRow_) {
        case 7:
            return row + 11;
        case 8:
            return row + 24;
        case 9:
            return row + 39;
        default:
            return row + UserMacroFunctionBase - 1;
    }
}

QImage CSubMenuDlg::ComposeRows() const {
    const int group = parentRow_;
    return ComposePopupRows(ui::SubMenuImages, ui::SubMenuMaskRows, {m_rowWidth, m_rowHeight},
                            m_pressed, m_hoverRow, g_subMenuRows, [this, group](int r) {
                                if (group == LastGroupRow) {
                                    return MacroName(g_macros[r - 1]);
                                }
                                return ui::g_strFunNames[CodeOfRow(r)];
                            });
}

void CSubMenuDlg::paintEvent(QPaintEvent*) {
    const QImage canvas = ComposeRows();
    QPainter screen(this);
    screen.drawImage(QPoint(0, 0), canvas, QRect(0, 0, m_rowWidth, m_shapeHeight));
}

void CSubMenuDlg::mouseMoveEvent(QMouseEvent* event) {
    m_hoverRow = HitTest(event->position().toPoint());
    if (m_hoverRow != g_subMenuPrevSel) {
        update();
        g_subMenuPrevSel = m_hoverRow;
    }
}

void CSubMenuDlg::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_pressed = true;
    update();
}

void CSubMenuDlg::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_pressed = false;
    if (m_hoverRow != NoHover) {
        const std::int32_t code = CodeOfRow(m_hoverRow);
        g_subMenuLastCode = code;
        ui::ApplyButtonChoice(code);
    }
    g_popupChoiceMade = 1;
    update();
    // The button popup's close request cancels it, which hides it; the main window's paint,
    // now, sees the choice and destroys the button popup with this one; whatever is left of
    // this popup goes after a short pause.
    if (CMenuDlg* menu = FindMenuDlg()) {
        menu->close();
    }
    if (QWidget* main = FindMainWindow()) {
        main->repaint();
    }
    platform::Sleep(GroupCloseDelayMs);
    DestroyWindow();  // unless the button popup's end already ended this one
}
