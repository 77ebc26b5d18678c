// The menu tables and their loader.
#include "ui/controls/menu_resources.h"

#include "ui/controls/kve_menu.h"

#include <QAction>
#include <QString>
#include <vector>

namespace {

constexpr MenuResourceItem MenuMacroChineseItems[] = {
    {0, u"Menu_Macro", MenuIdPopup},
    {1, u"选项前添加    ", MenuIdPopup},
    {2, u"左键   ", MenuIdPopup},
    {3, u"按下  ", 32802},
    {3, u"释放", 32803},
    {2, u"右键", MenuIdPopup},
    {3, u"按下  ", 32804},
    {3, u"释放", 32805},
    {2, u"中键", MenuIdPopup},
    {3, u"按下  ", 32806},
    {3, u"释放", 32807},
    {1, u"选项后添加 ", MenuIdPopup},
    {2, u"左键   ", MenuIdPopup},
    {3, u"按下  ", 32809},
    {3, u"释放", 32810},
    {2, u"右键", MenuIdPopup},
    {3, u"按下  ", 32811},
    {3, u"释放", 32812},
    {2, u"中键", MenuIdPopup},
    {3, u"按下  ", 32813},
    {3, u"释放", 32814},
    {1, u"导入宏", 32857},
    {1, u"导出宏", 32859},
    {1, u"插入X-Y+ ", 32852},
    {1, u"插入X-Y-", 32853},
    {1, u"插入X+Y+", 32854},
    {1, u"插入X+Y-", 32855},
    {1, u"修改弹道数值", 32856},
    {1, u"插入延迟", 32851},
    {1, u"修改延迟", 32780},
    {1, u"删除此项", 32781},
};

constexpr MenuResourceItem MenuMacroEnglishItems[] = {
    {0, u"Menu_Macro_EN", MenuIdPopup},
    {1, u"Add Forward", MenuIdPopup},
    {2, u"Left Button", MenuIdPopup},
    {3, u"Down", 32819},
    {3, u"Up", 32820},
    {2, u"Right Button", MenuIdPopup},
    {3, u"Down", 32821},
    {3, u"Up", 32822},
    {2, u"Mid Button", MenuIdPopup},
    {3, u"Down", 32823},
    {3, u"Up", 32824},
    {1, u"Add Backward", MenuIdPopup},
    {2, u"Left Button", MenuIdPopup},
    {3, u"Down", 32829},
    {3, u"Up", 32830},
    {2, u"Right Button", MenuIdPopup},
    {3, u"Down", 32832},
    {3, u"Up", 32833},
    {2, u"Mid Button", MenuIdPopup},
    {3, u"Down", 32835},
    {3, u"Up", 32836},
    {1, u"Modify Delay", 32837},
    {1, u"Delete Item", 32838},
};

constexpr MenuResourceItem MenuTrayChineseItems[] = {
    {0, u"Menu_Tray", MenuIdPopup},
    {1, u"显示界面   ", 32801},
    {1, u"退出驱动", 32800},
};

constexpr MenuResourceItem MenuTrayEnglishItems[] = {
    {0, u"Tray_EN", MenuIdPopup},
    {1, u"Show Window", 32827},
    {1, u"Exit Driver", 32828},
};

constexpr MenuResourceItem MenuMacroListItems[] = {
    {0, u"宏列表", MenuIdPopup},
    {1, u"导入宏  ", 32860},
    {1, u"导出宏", 32861},
};

}  // namespace

std::span<const MenuResourceItem> MenuResourceItems(int resourceId) {
    switch (resourceId) {
        case MenuMacroChinese:
            return MenuMacroChineseItems;
        case MenuMacroEnglish:
            return MenuMacroEnglishItems;
        case MenuTrayChinese:
            return MenuTrayChineseItems;
        case MenuTrayEnglish:
            return MenuTrayEnglishItems;
        case MenuMacroList:
            return MenuMacroListItems;
        default:
            return {};
    }
}

std::unique_ptr<KveMenuWidget> LoadMenuResource(int resourceId) {
    const std::span<const MenuResourceItem> items = MenuResourceItems(resourceId);
    if (items.empty()) {
        return nullptr;
    }
    auto top = std::make_unique<KveMenuWidget>();
    // open[d] is the menu that takes the items of depth d.
    std::vector<KveMenuWidget*> open{top.get()};
    for (const MenuResourceItem& item : items) {
        if (item.depth < 0 || static_cast<std::size_t>(item.depth) >= open.size()) {
            continue;  // a table fault; the tables above have none
        }
        open.resize(static_cast<std::size_t>(item.depth) + 1);
        KveMenuWidget* owner = open.back();
        const QString text = QString::fromUtf16(item.text);
        if (item.id == MenuIdPopup) {
            auto* sub = new KveMenuWidget(owner);
            sub->setTitle(text);
            QAction* action = owner->addMenu(sub);
            SetMenuItemId(action, MenuIdPopup);
            open.push_back(sub);
        } else if (item.id == MenuIdSeparator) {
            QAction* action = owner->addSeparator();
            action->setText(text);
            SetMenuItemId(action, MenuIdSeparator);
        } else {
            QAction* action = owner->addAction(text);
            SetMenuItemId(action, item.id);
        }
    }
    return top;
}
