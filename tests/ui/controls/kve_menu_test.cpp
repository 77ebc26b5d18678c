#include "ui/controls/kve_menu.h"
#include "ui/controls/menu_resources.h"
#include "ui/controls/program_menus.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <vector>

namespace {

void EnsureApp() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "tests_ui";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApp(); }
};

// What a builder does: load, attach, count from 0, record the menu's own items.
void Build(CKveMenu& menu, int resource) {
    menu.Attach(LoadMenuResource(resource));
    menu.itemCount = 0;
    menu.ChangeMenuItem(menu.menu(), false);
}

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QColor Pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

constexpr QRgb Untouched = 0xFFFF00FF;
const QColor Flat(0x00, 0x78, 0x99);  // COLORREF 0x997800
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

// ---- the menu resources, recorded as the window records them --------------------------------

TEST_F(MenuTest, MacroMenuChinese_RecordsEveryItemDepthFirstWithItsId) {
    CKveMenu menu;
    Build(menu, MenuMacroChinese);
    ASSERT_EQ(menu.itemCount, 31);
    const std::vector<int> ids = {-1,    -1,    -1,    32802, 32803, -1,    32804, 32805,
                                  -1,    32806, 32807, -1,    -1,    32809, 32810, -1,
                                  32811, 32812, -1,    32813, 32814, 32857, 32859, 32852,
                                  32853, 32854, 32855, 32856, 32851, 32780, 32781};
    for (int i = 0; i < 31; ++i) {
        EXPECT_EQ(menu.records[i].id, ids[i]) << "record " << i;
    }
    EXPECT_EQ(menu.records[1].text, QString::fromUtf8("选项前添加    "));
    EXPECT_EQ(menu.records[2].text, QString::fromUtf8("左键   "));
    EXPECT_EQ(menu.records[3].text, QString::fromUtf8("按下  "));
    EXPECT_EQ(menu.records[4].text, QString::fromUtf8("释放"));
    EXPECT_EQ(menu.records[11].text, QString::fromUtf8("选项后添加 "));
    EXPECT_EQ(menu.records[23].text, QString::fromUtf8("插入X-Y+ "));
    EXPECT_EQ(menu.records[27].text, QString::fromUtf8("修改弹道数值"));
    EXPECT_EQ(menu.records[30].text, QString::fromUtf8("删除此项"));
    // 22 commands, numbered in the order they were met.
    EXPECT_EQ(menu.nextIndex, 22);
    EXPECT_EQ(menu.records[3].index, 0);
    EXPECT_EQ(menu.records[30].index, 21);
}

TEST_F(MenuTest, MacroMenuEnglish_HasTheTwoSubmenusAndTwoCommands) {
    CKveMenu menu;
    Build(menu, MenuMacroEnglish);
    ASSERT_EQ(menu.itemCount, 23);
    QMenu* steps = menu.GetSubMenu(0);
    ASSERT_NE(steps, nullptr);
    QStringList top;
    for (QAction* action : steps->actions()) {
        top << action->text();
    }
    EXPECT_EQ(top, QStringList({"Add Forward", "Add Backward", "Modify Delay", "Delete Item"}));
    QMenu* backward = FindAction(steps, "Add Backward")->menu();
    QMenu* mid = FindAction(backward, "Mid Button")->menu();
    EXPECT_EQ(GetMenuItemID(FindAction(mid, "Down")), 32835);
    EXPECT_EQ(GetMenuItemID(FindAction(mid, "Up")), 32836);
    QMenu* forwardRight =
        FindAction(FindAction(steps, "Add Forward")->menu(), "Right Button")->menu();
    EXPECT_EQ(GetMenuItemID(FindAction(forwardRight, "Up")), 32822);
}

TEST_F(MenuTest, TrayAndMacroListMenus_TextsAndIds) {
    CKveMenu chinese;
    Build(chinese, MenuTrayChinese);
    ASSERT_EQ(chinese.itemCount, 3);
    EXPECT_EQ(chinese.records[0].text, QString("Menu_Tray"));
    EXPECT_EQ(chinese.records[1].text, QString::fromUtf8("显示界面   "));
    EXPECT_EQ(chinese.records[1].id, 32801);
    EXPECT_EQ(chinese.records[2].text, QString::fromUtf8("退出驱动"));
    EXPECT_EQ(chinese.records[2].id, 32800);

    CKveMenu english;
    Build(english, MenuTrayEnglish);
    EXPECT_EQ(english.records[0].text, QString("Tray_EN"));
    EXPECT_EQ(english.records[1].id, 32827);
    EXPECT_EQ(english.records[2].text, QString("Exit Driver"));
    EXPECT_EQ(english.records[2].id, 32828);

    CKveMenu list;
    Build(list, MenuMacroList);
    EXPECT_EQ(list.records[0].text, QString::fromUtf8("宏列表"));
    EXPECT_EQ(list.records[1].text, QString::fromUtf8("导入宏  "));
    EXPECT_EQ(list.records[1].id, 32860);
    EXPECT_EQ(list.records[2].text, QString::fromUtf8("导出宏"));
    EXPECT_EQ(list.records[2].id, 32861);

    EXPECT_EQ(LoadMenuResource(100), nullptr);
}

// ---- recording ------------------------------------------------------------------------------

TEST_F(MenuTest, SubmenuItemComesFirstAndCommandsContinueTheRunningNumber) {
    auto top = std::make_unique<KveMenuWidget>();
    auto* sub = new KveMenuWidget(top.get());
    sub->setTitle("Pop");
    top->addMenu(sub);
    SetMenuItemId(sub->addAction("One"), 501);
    SetMenuItemId(sub->addAction("Two"), 502);
    CKveMenu menu;
    menu.nextIndex = 7;
    menu.Attach(std::move(top));
    EXPECT_TRUE(menu.ChangeMenuItem(menu.menu(), false));
    ASSERT_EQ(menu.itemCount, 3);
    EXPECT_EQ(menu.records[0].text, QString("Pop"));
    EXPECT_EQ(menu.records[0].id, -1);
    EXPECT_EQ(menu.records[0].index, 0);  // a submenu item takes no number
    EXPECT_EQ(menu.records[1].id, 501);
    EXPECT_EQ(menu.records[1].index, 7);
    EXPECT_EQ(menu.records[2].index, 8);
    EXPECT_EQ(menu.nextIndex, 9);
    // Every item now carries its own record.
    EXPECT_EQ(MenuItemData(sub->actions()[1]), reinterpret_cast<std::uintptr_t>(&menu.records[2]));
}

TEST_F(MenuTest, RecordingAgainAfterALanguageSwitchStartsAtRecordZeroAndKeepsCounting) {
    CKveMenu tray;
    Build(tray, MenuTrayChinese);
    EXPECT_EQ(tray.nextIndex, 2);
    tray.DestroyMenu();
    Build(tray, MenuTrayEnglish);
    EXPECT_EQ(tray.itemCount, 3);
    EXPECT_EQ(tray.records[1].text, QString("Show Window"));
    EXPECT_EQ(tray.records[1].index, 2);
    EXPECT_EQ(tray.records[2].index, 3);
    EXPECT_EQ(tray.nextIndex, 4);
}

TEST_F(MenuTest, TheProgramsMenusKeepCountingAcrossALanguageSwitch) {
    ui::DestroyProgramMenus();
    const int macroBefore = g_menuMacro.nextIndex;
    const int trayBefore = g_menuTray.nextIndex;
    ui::BuildProgramMenus(0);
    EXPECT_EQ(g_menuMacro.nextIndex, macroBefore + 22);
    EXPECT_EQ(g_menuTray.nextIndex, trayBefore + 2);
    ui::DestroyProgramMenus();
    ui::BuildProgramMenus(1);
    EXPECT_EQ(g_menuMacro.itemCount, 23) << "the records start again at 0";
    EXPECT_EQ(g_menuMacro.records[3].index, macroBefore + 22) << "the first English command";
    EXPECT_EQ(g_menuTray.records[1].index, trayBefore + 2);
    ui::DestroyProgramMenus();
}

TEST_F(MenuTest, NoMenuOrAnEmptyMenuRecordsNothing) {
    CKveMenu menu;
    EXPECT_TRUE(menu.ChangeMenuItem(nullptr, false));
    KveMenuWidget empty;
    EXPECT_TRUE(menu.ChangeMenuItem(&empty, false));
    EXPECT_EQ(menu.itemCount, 0);
    EXPECT_EQ(menu.nextIndex, 0);
}

TEST_F(MenuTest, TreeLargerThanTheRecordsIsNotWrittenPastThem) {
    KveMenuWidget big;
    for (int i = 0; i < 60; ++i) {
        SetMenuItemId(big.addAction(QString("Item %1").arg(i)), 1000 + i);
    }
    CKveMenu menu;
    EXPECT_TRUE(menu.ChangeMenuItem(&big, false));
    EXPECT_EQ(menu.itemCount, 50);
    EXPECT_EQ(menu.records[49].text, QString("Item 49"));
    EXPECT_NE(MenuItemData(big.actions()[49]), 0u);
    EXPECT_EQ(MenuItemData(big.actions()[50]), 0u);  // left as the platform draws it
}

// ---- measuring ------------------------------------------------------------------------------

TEST_F(MenuTest, MeasureItem_EightPixelsPerCharacterTwentyHighSeparatorOneHigh) {
    CKveMenu tray;
    Build(tray, MenuTrayEnglish);
    MeasureItemStruct exit;
    exit.itemData = MenuItemData(FindAction(tray.GetSubMenu(0), "Exit Driver"));
    exit.font.setPixelSize(9);  // a font that needs less room than the design gives
    tray.MeasureItem(&exit);
    EXPECT_EQ(exit.itemWidth, 88u);
    EXPECT_EQ(exit.itemHeight, 20u);

    MenuItemRecord separator{"---", 0, 0};
    MeasureItemStruct sep;
    sep.itemData = reinterpret_cast<std::uintptr_t>(&separator);
    tray.MeasureItem(&sep);
    EXPECT_EQ(sep.itemWidth, 24u);
    EXPECT_EQ(sep.itemHeight, 1u);

    MeasureItemStruct button;  // not a menu item: left alone
    button.CtlType = 4;
    button.itemData = exit.itemData;
    tray.MeasureItem(&button);
    EXPECT_EQ(button.itemWidth, 0u);
    EXPECT_EQ(button.itemHeight, 0u);
}

// The room the text takes in the menu's font, right of the item's indent.
int TextRight(const QMenu* menu, const QString& text) {
    return 10 + QFontMetrics(menu->font()).horizontalAdvance(text);
}

TEST_F(MenuTest, ShownMenuLaysItsItemsOutAtTheMeasuredSizes) {
    CKveMenu tray;
    Build(tray, MenuTrayEnglish);
    QMenu* popup = tray.GetSubMenu(0);
    const QSize size = popup->sizeHint();
    const QRect show = popup->actionGeometry(FindAction(popup, "Show Window"));
    const QRect exit = popup->actionGeometry(FindAction(popup, "Exit Driver"));
    EXPECT_EQ(exit.height(), 20);
    EXPECT_EQ(show.bottom() + 1, exit.top());
    EXPECT_EQ(size, QSize(exit.width(), 40));
    EXPECT_GE(exit.width(), 88);
    EXPECT_GT(show.width(), TextRight(popup, "Show Window")) << "not cut off";
}

TEST_F(MenuTest, ChineseStepItemIsAsWideAsItsTextDrawn) {
    CKveMenu menu;
    Build(menu, MenuMacroChinese);
    QMenu* steps = menu.GetSubMenu(0);
    ASSERT_NE(steps, nullptr);
    const QString text = QString::fromUtf8("修改弹道数值");
    QAction* item = FindAction(steps, text);
    ASSERT_NE(item, nullptr);
    EXPECT_GT(steps->actionGeometry(item).width(), TextRight(steps, text)) << "not cut off";
}

// ---- drawing --------------------------------------------------------------------------------

QImage DrawRecord(const MenuItemRecord& record, QSize size, unsigned state) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Untouched);
    QPainter painter(&image);
    DrawItemStruct dis;
    dis.itemState = state;
    dis.hDC = &painter;
    dis.rcItem = QRect(QPoint(0, 0), size);
    dis.itemData = reinterpret_cast<std::uintptr_t>(&record);
    CKveMenu().DrawItem(&dis);
    painter.end();
    return image;
}

bool HasWhite(const QImage& image, int fromX, int toX) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = fromX; x < toX; ++x) {
            if (Pixel(image, x, y) == QColor(Qt::white)) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(MenuTest, UnselectedItemIsFlatWithWhiteTextTenPixelsIn) {
    const MenuItemRecord record{"Exit Driver", 0, 32828};
    const QImage image = DrawRecord(record, QSize(120, 20), 0);
    for (int x : {0, 5, 9, 119}) {
        for (int y : {0, 10, 19}) {
            EXPECT_EQ(Pixel(image, x, y), Flat) << x << "," << y;
        }
    }
    EXPECT_FALSE(HasWhite(image, 0, 10));
    EXPECT_TRUE(HasWhite(image, 10, 120));
}

TEST_F(MenuTest, SelectedItemHasAFrameAndABlueToCyanGradient) {
    const MenuItemRecord record{"Exit Driver", 0, 32828};
    const QImage image = DrawRecord(record, QSize(120, 20), ODS_SELECTED);
    for (QPoint p : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 19), QPoint(119, 19), QPoint(60, 0),
                     QPoint(60, 19), QPoint(0, 10), QPoint(119, 10)}) {
        EXPECT_EQ(Pixel(image, p.x(), p.y()), QColor(Qt::black)) << p.x() << "," << p.y();
    }
    // 18 inner rows: green rises by 14 a row from 0 to 238, blue stays 255.
    for (int k = 0; k < 18; ++k) {
        EXPECT_EQ(Pixel(image, 5, 1 + k), QColor(0, 14 * k, 255)) << "row " << k;
        EXPECT_EQ(Pixel(image, 118, 1 + k), QColor(0, 14 * k, 255)) << "row " << k;
    }
    EXPECT_TRUE(HasWhite(image, 10, 119));
}

TEST_F(MenuTest, SeparatorIsAFrameStartingTwentyFivePixelsIn) {
    const MenuItemRecord record{"", 0, 0};
    const QImage line = DrawRecord(record, QSize(100, 1), 0);
    EXPECT_EQ(line.pixel(24, 0), Untouched);
    EXPECT_EQ(Pixel(line, 25, 0), Blue);  // the bottom edge is drawn last
    EXPECT_EQ(Pixel(line, 99, 0), Blue);

    const QImage tall = DrawRecord(record, QSize(100, 5), 0);
    EXPECT_EQ(tall.pixel(24, 2), Untouched);
    EXPECT_EQ(Pixel(tall, 25, 0), Red);  // top
    EXPECT_EQ(Pixel(tall, 98, 0), Red);
    EXPECT_EQ(Pixel(tall, 25, 3), Red);   // left
    EXPECT_EQ(Pixel(tall, 99, 0), Blue);  // right
    EXPECT_EQ(Pixel(tall, 99, 4), Blue);
    EXPECT_EQ(Pixel(tall, 25, 4), Blue);  // bottom
    EXPECT_EQ(tall.pixel(50, 2), Untouched);
    EXPECT_FALSE(HasWhite(tall, 0, 100));
}

TEST_F(MenuTest, PopupPaintsEachItemFromItsRecordWithTheActiveItemSelected) {
    CKveMenu tray;
    Build(tray, MenuTrayEnglish);
    QMenu* popup = tray.GetSubMenu(0);
    popup->resize(popup->sizeHint());
    popup->setActiveAction(FindAction(popup, "Exit Driver"));
    QImage image(popup->size(), QImage::Format_RGB32);
    image.fill(Untouched);
    popup->render(&image);
    EXPECT_EQ(Pixel(image, 3, 10), Flat);               // "Show Window", not selected
    EXPECT_EQ(Pixel(image, 0, 20), QColor(Qt::black));  // frame of "Exit Driver"
    EXPECT_EQ(Pixel(image, 3, 21), QColor(0, 0, 255));
    EXPECT_EQ(Pixel(image, 3, 38), QColor(0, 238, 255));
}

}  // namespace
