// Owner-drawn menus in the program's colours. CKveMenu owns one menu tree and the records of
// its items (text and command id); KveMenuWidget is the menu window that asks an item's record
// how large it is and how it looks. A record is reached from its item, so whichever CKveMenu
// handles the measuring and drawing, each item shows its own record. User-interface thread only.
#pragma once

#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class QPainter;
class QAction;

// The owner-draw requests, as the platform hands them to a menu's owner.
inline constexpr unsigned ODT_MENU = 1;
inline constexpr unsigned ODS_SELECTED = 0x0001;

struct MeasureItemStruct {
    unsigned CtlType = ODT_MENU;
    int itemID = 0;
    unsigned itemWidth = 0;   // filled in by the owner
    unsigned itemHeight = 0;  // filled in by the owner
    std::uintptr_t itemData = 0;
    QFont font;  // the font the item's text is drawn in
};

struct DrawItemStruct {
    unsigned CtlType = ODT_MENU;
    int itemID = 0;
    unsigned itemState = 0;  // ODS_SELECTED while the item is highlighted
    QPainter* hDC = nullptr;
    QRect rcItem;
    std::uintptr_t itemData = 0;
};

// Whoever measures and draws owner-drawn items.
class OwnerDrawHandler {
public:
    virtual ~OwnerDrawHandler() = default;
    virtual void MeasureItem(MeasureItemStruct* mis) = 0;
    virtual void DrawItem(DrawItemStruct* dis) = 0;
};

// The command id a menu reports for an item: the command's id, 0 for a separator, -1 for an
// item that opens a submenu.
int GetMenuItemID(const QAction* action);
void SetMenuItemId(QAction* action, int id);
// The item data of an owner-drawn item (0 for an item that is not owner-drawn).
std::uintptr_t MenuItemData(const QAction* action);

// A menu window whose owner-drawn items are measured and painted by a handler.
class KveMenuWidget : public QMenu {
    Q_OBJECT
public:
    explicit KveMenuWidget(QWidget* parent = nullptr);

    // Makes the item owner-drawn with the given command id and item data (ModifyMenu with
    // MF_OWNERDRAW); its submenu, if any, stays attached.
    void MakeOwnerDrawn(QAction* action, int id, std::uintptr_t itemData);
    void SetOwnerDrawHandler(OwnerDrawHandler* handler) { handler_ = handler; }
    OwnerDrawHandler* ownerDrawHandler() const { return handler_; }
    // The action whose style option was built last: the style measures it next.
    const QAction* styledAction() const { return styledAction_; }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    OwnerDrawHandler* handler_ = nullptr;
    mutable const QAction* styledAction_ = nullptr;
};

struct MenuItemRecord {
    QString text;   // the item's text as loaded
    int index = 0;  // running number of a command item (set only for command items)
    int id = 0;     // command id (> 0), 0 for a separator, -1 for an item that opens a submenu
};

inline constexpr int MenuRecordCapacity = 50;

class CKveMenu : public OwnerDrawHandler {
public:
    CKveMenu() = default;
    ~CKveMenu() override;
    CKveMenu(const CKveMenu&) = delete;
    CKveMenu& operator=(const CKveMenu&) = delete;

    // The attached menu (the menu handle); destroying the object destroys it.
    void Attach(std::unique_ptr<KveMenuWidget> menu);
    void DestroyMenu();
    KveMenuWidget* menu() const { return menu_.get(); }
    // Submenu at position pos of the attached menu, nullptr when there is none.
    QMenu* GetSubMenu(int pos) const;

    // Records the items of menu and of its submenus depth first from record itemCount on and
    // makes them owner-drawn. Command items get running indexes from nextIndex. Returns TRUE.
    // Items beyond the 50 records are left as they are (not recorded, not owner-drawn).
    bool ChangeMenuItem(QMenu* menu, bool topLevel);

    void MeasureItem(MeasureItemStruct* mis) override;
    void DrawItem(DrawItemStruct* dis) override;

    std::array<MenuItemRecord, MenuRecordCapacity> records{};
    int itemCount = 0;
    int nextIndex = 0;

private:
    // Declared after the records, so the menu that points at them goes first.
    std::unique_ptr<KveMenuWidget> menu_;
};

// The drawing steps of an item, on the painter of the item's device context.
void DrawMenuItemText(QPainter& dc, const QString& text, QRect rect);
void DrawMenuSeparator(QPainter& dc, QRect rect);
// Colours are COLORREF values 0x00BBGGRR.
void DrawGradientRect(QPainter& dc, QRect rect, std::uint32_t from, std::uint32_t to,
                      bool selected);

// Shows menu at the screen position (TrackPopupMenu) and returns the chosen command's id, 0
// when the menu was dismissed.
int TrackPopupMenu(QMenu* menu, const QPoint& screenPos);
