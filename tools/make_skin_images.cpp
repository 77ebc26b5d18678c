// Draws every skin image of the default skin from its layout files, at build time: the three
// looks (normal, hover, pressed or lit) of each page with every entry at its rectangle, the
// window mask, the colour page's preview swatches, the two function popups and the warning box.
// The pictures carry no words (the images serve both languages); captions are drawn by the
// window from the layout files. How an entry looks is the last field of its layout value.
//
// Usage: make_skin_images LAYOUT_SKIN_DIR OUTPUT_SKIN_DIR
// LAYOUT_SKIN_DIR holds INI_CN and INI_EN; both languages must place every rectangle alike.
#include "platform/message_service.h"
#include "skin_painter.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_images.h"
#include "ui/skin/skin_layout_file.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <vector>

namespace {

using skin_art::Item;
using skin_art::State;
using ui::ButtonPos;
using ui::PageLayouts;

// A missing layout file is a broken build, not a reason to hide a window.
class BuildHooks final : public ui::SkinWindowHooks {
public:
    void AddTrayIcon() override { ++calls; }
    void ShowMinimized() override { ++calls; }
    void HideWindow() override { ++calls; }
    int calls = 0;
};

struct Layouts {
    PageLayouts pages;
    std::array<ButtonPos, ui::WarnRectCount> warn{};
    std::array<ui::RECT, 6> controls{};
};

Layouts LoadLanguage(ui::SkinWindowHooks& hooks, const QString& dir, int lang) {
    Layouts l;
    ui::LoadSkinMain(l.pages, hooks, dir, lang);
    ui::LoadSkinColor(l.pages, hooks, dir, lang);
    ui::LoadSkinAdvance(l.pages, hooks, dir, lang);
    ui::LoadSkinLBWarning(hooks, dir, lang);
    l.warn = ui::g_warnRects;
    l.controls = {ui::g_rcEditFireTime, ui::g_rcEditRepeat, ui::g_rcEditMacroName,
                  ui::g_rcEditTrack,    ui::g_rcMacroList,  ui::g_rcStepList};
    return l;
}

bool SameRects(const Layouts& a, const Layouts& b) {
    return a.pages.m_posMain == b.pages.m_posMain && a.pages.m_posAdv == b.pages.m_posAdv &&
           a.pages.m_posColor == b.pages.m_posColor && a.warn == b.warn && a.controls == b.controls;
}

QString Look(const QString& file, const QString& section, int key) {
    ui::SkinFields fields;
    ui::ReadIniFields(file, section, key, fields);
    return fields[6].trimmed();
}

// Entries [first, last] of a page with their looks.
std::vector<Item> Items(const QString& file, const ButtonPos* rects, int first, int last) {
    std::vector<Item> items;
    for (int key = first; key <= last; ++key) {
        items.push_back({rects[key], Look(file, QStringLiteral("BUTTONPOS"), key)});
    }
    return items;
}

// The drawing-only PANEL section: keys from 0 up to the first missing one.
std::vector<Item> Panels(const QString& file) {
    std::vector<Item> panels;
    for (int key = 0; key < 64; ++key) {
        ui::SkinFields fields;
        ui::ReadIniFields(file, QStringLiteral("PANEL"), key, fields);
        if (fields[0].isEmpty() && fields[6].isEmpty()) {
            break;
        }
        panels.push_back({ui::SkinFieldRect(fields), fields[6].trimmed()});
    }
    return panels;
}

ButtonPos Bounds(const std::vector<Item>& items) {
    int right = 0, bottom = 0;
    for (const Item& item : items) {
        if (item.rect.w > 0 && item.rect.h > 0) {
            right = std::max<int>(right, item.rect.x + item.rect.w);
            bottom = std::max<int>(bottom, item.rect.y + item.rect.h);
        }
    }
    return ButtonPos{0, 0, right, bottom};
}

bool Save(const QImage& image, const QString& dir, const char* name, int quality) {
    const QString path = ui::SkinImagePath(dir, name);
    if (!image.save(path, "JPG", quality)) {
        std::fprintf(stderr, "make_skin_images: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

struct Page {
    std::vector<Item> items;  // back to front: panels, controls, entries, frame
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_skin_images LAYOUT_SKIN_DIR OUTPUT_SKIN_DIR\n");
        return 2;
    }
    const QString layoutDir = QString::fromLocal8Bit(argv[1]);
    const QString outDir = QString::fromLocal8Bit(argv[2]);

    platform::RecordingMessageService messages;
    platform::SetMessageService(&messages);
    BuildHooks hooks;

    const Layouts cn = LoadLanguage(hooks, layoutDir, 0);
    const Layouts en = LoadLanguage(hooks, layoutDir, 1);
    if (!SameRects(cn, en)) {
        std::fprintf(stderr, "make_skin_images: the two languages place rectangles apart\n");
        return 1;
    }

    const QString mainFile = ui::SkinLayoutPath(layoutDir, ui::SkinLayout::Main, 0);
    const QString advFile = ui::SkinLayoutPath(layoutDir, ui::SkinLayout::Advance, 0);
    const QString colorFile = ui::SkinLayoutPath(layoutDir, ui::SkinLayout::Color, 0);
    const QString warnFile = ui::SkinLayoutPath(layoutDir, ui::SkinLayout::LBWarning, 0);
    const PageLayouts& p = cn.pages;

    // Frame panels (title and bottom bars) and the frame buttons are on every page.
    std::vector<Item> framePanels, mainPanels;
    for (const Item& panel : Panels(mainFile)) {
        (panel.look == QLatin1String("panel") ? mainPanels : framePanels).push_back(panel);
    }
    const std::vector<Item> frame =
        Items(mainFile, p.m_posMain.data(), 0, ui::FrameButtonCount - 1);

    std::array<Page, 3> pages;
    const auto compose = [&](Page& page, const std::vector<Item>& panels,
                             const std::vector<Item>& entries) {
        page.items = framePanels;
        page.items.insert(page.items.end(), panels.begin(), panels.end());
        page.items.insert(page.items.end(), entries.begin(), entries.end());
        page.items.insert(page.items.end(), frame.begin(), frame.end());
    };
    compose(pages[0], mainPanels,
            Items(mainFile, p.m_posMain.data(), ui::FrameButtonCount, ui::MainRectCount - 1));
    std::vector<Item> advEntries;
    const char* controlLooks = "edit";
    for (const ui::RECT& r : cn.controls) {
        advEntries.push_back(
            {ButtonPos{r.left, r.top, r.right - r.left, r.bottom - r.top}, controlLooks});
    }
    for (const Item& item : Items(advFile, p.m_posAdv.data(), 0, ui::AdvRectCount - 1)) {
        advEntries.push_back(item);
    }
    compose(pages[1], Panels(advFile), advEntries);
    compose(pages[2], Panels(colorFile),
            Items(colorFile, p.m_posColor.data(), 0, ui::ColorRectCount - 1));

    if (!messages.Messages().isEmpty() || hooks.calls != 0) {
        for (const QString& m : messages.Messages()) {
            std::fprintf(stderr, "make_skin_images: %s\n", qPrintable(m));
        }
        std::fprintf(stderr, "make_skin_images: layout files missing or malformed in %s\n",
                     qPrintable(layoutDir));
        return 1;
    }

    // Every page has the window's size: what all rectangles of all pages span.
    std::vector<Item> all;
    for (const Page& page : pages) {
        all.insert(all.end(), page.items.begin(), page.items.end());
    }
    const ButtonPos window = Bounds(all);
    if (window.w <= 0 || window.h <= 0) {
        std::fprintf(stderr, "make_skin_images: the layout spans no area\n");
        return 1;
    }
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "make_skin_images: cannot make %s\n", qPrintable(outDir));
        return 1;
    }

    bool ok = Save(skin_art::WindowMask(window.w, window.h, 12), outDir, ui::MainMaskImage, 100);
    for (int i = 0; i < 3; ++i) {
        const ui::PageImageSet& names = ui::PageImages[i];
        ok &= Save(skin_art::DrawPage(window, pages[i].items, State::Normal), outDir, names.normal,
                   95);
        ok &= Save(skin_art::DrawPage(window, pages[i].items, State::Over), outDir, names.over, 95);
        ok &= Save(skin_art::DrawPage(window, pages[i].items, State::Down), outDir, names.down, 95);
    }
    // The preview swatch of cycle colours 2..6: the colour page with the swatch in that colour.
    const QColor swatchColours[5] = {skin_art::CyclePink, skin_art::CycleGreen, skin_art::CycleRed,
                                     skin_art::CycleCyan, skin_art::CycleWhite};
    for (int i = 0; i < 5; ++i) {
        ok &= Save(skin_art::DrawPage(window, pages[2].items, State::Normal, swatchColours[i]),
                   outDir, ui::ColorSwatchImages[i], 95);
    }

    ok &= Save(skin_art::PlainMask(skin_art::MenuWidth, skin_art::MenuRowHeight * ui::MenuMaskRows),
               outDir, ui::MenuMaskImage, 100);
    ok &= Save(
        skin_art::PlainMask(skin_art::MenuWidth, skin_art::MenuRowHeight * ui::SubMenuMaskRows),
        outDir, ui::SubMenuMaskImage, 100);
    const State states[3] = {State::Normal, State::Over, State::Down};
    const char* menuNames[3] = {ui::MenuImages.normal, ui::MenuImages.over, ui::MenuImages.down};
    const char* subNames[3] = {ui::SubMenuImages.normal, ui::SubMenuImages.over,
                               ui::SubMenuImages.down};
    for (int i = 0; i < 3; ++i) {
        ok &= Save(skin_art::DrawMenu(ui::MenuMaskRows, true, states[i]), outDir, menuNames[i], 95);
        ok &= Save(skin_art::DrawMenu(ui::SubMenuMaskRows, false, states[i]), outDir, subNames[i],
                   95);
    }

    std::vector<Item> warning = Panels(warnFile);
    for (int key = 0; key < ui::WarnRectCount; ++key) {
        warning.push_back({cn.warn[key], Look(warnFile, QStringLiteral("BUTTONPOS"), key)});
    }
    const ButtonPos box = Bounds(warning);
    ok &= Save(skin_art::WindowMask(box.w, box.h, 10), outDir, ui::WarningMaskImage, 100);
    ok &= Save(skin_art::DrawPage(box, warning, State::Normal), outDir, ui::WarningNormalImage, 95);
    ok &= Save(skin_art::DrawPage(box, warning, State::Over), outDir, ui::WarningOverImage, 95);

    platform::SetMessageService(nullptr);
    return ok ? 0 : 1;
}
