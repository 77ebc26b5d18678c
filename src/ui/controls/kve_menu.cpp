// Recording, measuring and painting of the owner-drawn menus.
#include "ui/controls/kve_menu.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QVariant>
#include <algorithm>

namespace {

constexpr const char* ItemIdProperty = "kveMenuItemId";
constexpr const char* ItemDataProperty = "kveMenuItemData";

// The colours of the program's menus (COLORREF 0x00BBGGRR).
constexpr std::uint32_t MenuTextColour = 0xFFFFFF;
constexpr std::uint32_t MenuFlatColour = 0x997800;
constexpr std::uint32_t GradientFrom = 0xFF0000;
constexpr std::uint32_t GradientTo = 0xFFFF00;
constexpr std::uint32_t SeparatorTopLeft = 0x0000FF;
constexpr std::uint32_t SeparatorBottomRight = 0xFF0000;
// What a device context holds before anyone selects a pen or brush into it.
constexpr QRgb DefaultPen = 0xFF000000;
constexpr QRgb DefaultBrush = 0xFFFFFFFF;

constexpr int CommandItemHeight = 20;
constexpr int SeparatorHeight = 1;
constexpr int PixelsPerCharacter = 8;
constexpr int TextIndent = 10;
constexpr int SeparatorIndent = 25;

QColor FromColorRef(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// FillSolidRect(x, y, cx, cy): a negative extent reaches left or up from the corner.
void FillSolid(QPainter& dc, int x, int y, int cx, int cy, const QColor& colour) {
    const QRect r = QRect(QPoint(x, y), QPoint(x + cx, y + cy)).normalized();
    // QRect(QPoint, QPoint) includes the far corner; the device rectangle excludes it.
    dc.fillRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1), colour);
}

// Sizes the owner-drawn items of KveMenuWidget by their records and drops the menu's own
// frame and margins, so that the items cover the menu as they do on the platform.
class KveMenuStyle final : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (type == CT_MenuItem) {
            if (const auto* menu = qobject_cast<const KveMenuWidget*>(widget)) {
                const QAction* action = menu->styledAction();
                const std::uintptr_t data = MenuItemData(action);
                if (data != 0 && menu->ownerDrawHandler() != nullptr) {
                    MeasureItemStruct mis;
                    mis.itemID = GetMenuItemID(action);
                    mis.itemData = data;
                    mis.font = menu->font();  // what the menu's painter draws with
                    menu->ownerDrawHandler()->MeasureItem(&mis);
                    return QSize(static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight));
                }
            }
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (qobject_cast<const KveMenuWidget*>(widget) != nullptr &&
            (metric == PM_MenuPanelWidth || metric == PM_MenuHMargin || metric == PM_MenuVMargin ||
             metric == PM_MenuDesktopFrameWidth)) {
            return 0;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* SharedMenuStyle() {
    static QPointer<KveMenuStyle> style;
    if (style.isNull()) {
        style = new KveMenuStyle;
        style->setParent(qApp);  // goes with the application
    }
    return style.data();
}

}  // namespace

int GetMenuItemID(const QAction* action) {
    if (action == nullptr) {
        return 0;
    }
    if (action->menu() != nullptr) {
        return -1;
    }
    const QVariant id = action->property(ItemIdProperty);
    if (id.isValid()) {
        return id.toInt();
    }
    return 0;
}

void SetMenuItemId(QAction* action, int id) {
    if (action != nullptr) {
        action->setProperty(ItemIdProperty, id);
    }
}

std::uintptr_t MenuItemData(const QAction* action) {
    if (action == nullptr) {
        return 0;
    }
    return static_cast<std::uintptr_t>(action->property(ItemDataProperty).toULongLong());
}

KveMenuWidget::KveMenuWidget(QWidget* parent) : QMenu(parent) {
    setStyle(SharedMenuStyle());
    setSeparatorsCollapsible(false);
}

void KveMenuWidget::MakeOwnerDrawn(QAction* action, int id, std::uintptr_t itemData) {
    SetMenuItemId(action, id);
    action->setProperty(ItemDataProperty, QVariant::fromValue<qulonglong>(itemData));
    update();
}

void KveMenuWidget::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    styledAction_ = action;
}

void KveMenuWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    for (QAction* action : actions()) {
        const QRect rect = actionGeometry(action);
        if (!action->isVisible() || rect.isEmpty() || !rect.intersects(event->rect())) {
            continue;
        }
        const std::uintptr_t data = MenuItemData(action);
        if (data != 0 && handler_ != nullptr) {
            DrawItemStruct dis;
            dis.itemID = GetMenuItemID(action);
            dis.itemState = action == activeAction() ? ODS_SELECTED : 0;
            dis.hDC = &painter;
            dis.rcItem = rect;
            dis.itemData = data;
            painter.save();
            handler_->DrawItem(&dis);
            painter.restore();
        } else {
            QStyleOptionMenuItem option;
            initStyleOption(&option, action);
            option.rect = rect;
            style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
        }
    }
}

CKveMenu::~CKveMenu() {
    DestroyMenu();
}

void CKveMenu::Attach(std::unique_ptr<KveMenuWidget> menu) {
    menu_ = std::move(menu);
}

void CKveMenu::DestroyMenu() {
    menu_.reset();
}

QMenu* CKveMenu::GetSubMenu(int pos) const {
    if (!menu_ || pos < 0 || pos >= menu_->actions().size()) {
        return nullptr;
    }
    return menu_->actions().at(pos)->menu();
}

bool CKveMenu::ChangeMenuItem(QMenu* menu, bool /*topLevel*/) {
    if (menu == nullptr) {
        return true;
    }
    const QList<QAction*> items = menu->actions();
    auto* owned = qobject_cast<KveMenuWidget*>(menu);
    for (QAction* action : items) {
        // A tree larger than the records is left partly as the platform draws it rather than
        // written past the table.
        if (itemCount < 0 || itemCount >= MenuRecordCapacity) {
            return true;
        }
        MenuItemRecord& record = records[static_cast<std::size_t>(itemCount)];
        record.text = action->text();
        record.id = GetMenuItemID(action);
        if (record.id > 0) {
            record.index = nextIndex;
            nextIndex += 1;
        }
        if (owned != nullptr) {
            owned->MakeOwnerDrawn(action, record.id, reinterpret_cast<std::uintptr_t>(&record));
            owned->SetOwnerDrawHandler(this);
        }
        itemCount += 1;
        if (QMenu* sub = action->menu()) {
            ChangeMenuItem(sub, false);
        }
    }
    return true;
}

void CKveMenu::MeasureItem(MeasureItemStruct* mis) {
    if (mis == nullptr || mis->CtlType != ODT_MENU || mis->itemData == 0) {
        return;
    }
    const auto* record = reinterpret_cast<const MenuItemRecord*>(mis->itemData);
    // Eight pixels a character fit the platform's menu font; a wider font (Chinese text, a
    // larger desktop font) gets the room its text takes, with the indent on both sides.
    qsizetype width = PixelsPerCharacter * record->text.size();
    if (record->id != 0) {
        const int drawn = QFontMetrics(mis->font).horizontalAdvance(record->text);
        width = std::max<qsizetype>(width, qsizetype{drawn} + 2 * TextIndent);
    }
    mis->itemWidth = static_cast<unsigned>(width);
    mis->itemHeight = record->id == 0 ? SeparatorHeight : CommandItemHeight;
}

void CKveMenu::DrawItem(DrawItemStruct* dis) {
    if (dis == nullptr || dis->CtlType != ODT_MENU || dis->itemData == 0 || dis->hDC == nullptr) {
        return;
    }
    const auto* record = reinterpret_cast<const MenuItemRecord*>(dis->itemData);
    QPainter& dc = *dis->hDC;
    dc.setBackgroundMode(Qt::TransparentMode);
    if (record->id == 0) {
        DrawMenuSeparator(dc, dis->rcItem);
        return;
    }
    DrawGradientRect(dc, dis->rcItem, GradientFrom, GradientTo,
                     (dis->itemState & ODS_SELECTED) != 0);
    dc.setPen(FromColorRef(MenuTextColour));
    DrawMenuItemText(dc, record->text, dis->rcItem);
}

void DrawMenuItemText(QPainter& dc, const QString& text, QRect rect) {
    rect.setLeft(rect.left() + TextIndent);
    dc.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void DrawMenuSeparator(QPainter& dc, QRect rect) {
    rect.setLeft(rect.left() + SeparatorIndent);
    const int x = rect.left();
    const int y = rect.top();
    const int cx = rect.width();
    const int cy = rect.height();
    const QColor topLeft = FromColorRef(SeparatorTopLeft);
    const QColor bottomRight = FromColorRef(SeparatorBottomRight);
    // The platform's three-dimensional frame, edge by edge in its order.
    FillSolid(dc, x, y, cx - 1, 1, topLeft);
    FillSolid(dc, x, y, 1, cy - 1, topLeft);
    FillSolid(dc, x + cx, y, -1, cy, bottomRight);
    FillSolid(dc, x, y + cy, cx, -1, bottomRight);
}

void DrawGradientRect(QPainter& dc, QRect rect, std::uint32_t from, std::uint32_t to,
                      bool selected) {
    if (!selected) {
        dc.fillRect(rect, FromColorRef(MenuFlatColour));
        return;
    }
    // Rectangle() with the device context's pen and brush: a one-pixel frame, filled inside.
    dc.fillRect(rect, QColor::fromRgb(DefaultBrush));
    const QColor pen = QColor::fromRgb(DefaultPen);
    dc.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), pen);
    dc.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), pen);
    dc.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), pen);
    dc.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), pen);

    const QRect inner = rect.adjusted(1, 1, -1, -1);
    const int height = inner.height();
    if (height <= 0 || inner.width() <= 0) {
        return;  // no rows to shade (and no division by a zero height)
    }
    int start[3];
    int step[3];
    for (int c = 0; c < 3; ++c) {
        start[c] = static_cast<int>((from >> (8 * c)) & 0xFF);
        const int difference = static_cast<int>((to >> (8 * c)) & 0xFF) - start[c];
        step[c] = static_cast<int>(static_cast<double>(difference) / height);
    }
    for (int k = 0; k < height; ++k) {
        const std::uint32_t colour =
            static_cast<std::uint8_t>(step[0] * k + start[0]) |
            (static_cast<std::uint32_t>(static_cast<std::uint8_t>(step[1] * k + start[1])) << 8) |
            (static_cast<std::uint32_t>(static_cast<std::uint8_t>(step[2] * k + start[2])) << 16);
        dc.fillRect(QRect(inner.left(), inner.top() + k, inner.width(), 1), FromColorRef(colour));
    }
}

int TrackPopupMenu(QMenu* menu, const QPoint& screenPos) {
    if (menu == nullptr) {
        return 0;
    }
    const QAction* chosen = menu->exec(screenPos);
    return chosen != nullptr ? GetMenuItemID(chosen) : 0;
}
