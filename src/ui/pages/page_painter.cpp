#include "ui/pages/page_painter.h"

#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <algorithm>

#include "device/settings_image.h"
#include "macro/macro_commands.h"
#include "macro/macro_record.h"
#include "macro/step_lines.h"
#include "profile/profile_settings.h"
#include "ui/pages/slot_captions.h"
#include "ui/shell/window_state.h"
#include "ui/skin/skin_font.h"
#include "ui/skin/skin_image_cache.h"
#include "ui/skin/skin_images.h"
#include "ui/skin/skin_rects.h"

namespace ui {

QString g_strFireTime;

QString FireTimeText() {
    // The stored count is shown signed, as a hand-edited config.ini may hold a negative one.
    return QString::number(static_cast<std::int32_t>(g_fireTime));
}

namespace {

constexpr int LastDpiStep = DpiCellsPerLevel - 1;

constexpr std::array<std::uint8_t, 3> PageTabs = {TabMain, TabAdvanced, TabColor};
constexpr std::array<unsigned, 3> PageCaptionCounts = {MainCaptionCount, AdvancedCaptionCount,
                                                       ColorCaptionCount};

const QColor CaptionWhite(255, 255, 255);
const QColor CaptionHover(255, 0, 0);

QColor FromColorRef(COLORREF c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

const ButtonPos* RectAt(std::span<const ButtonPos> rects, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= rects.size()) {
        return nullptr;
    }
    return &rects[static_cast<std::size_t>(index)];
}

// Copies the left part of a rectangle, width pixels wide, from source.
void BlitLeftPart(QPainter& target, const QImage& source, const ButtonPos& r, int width) {
    if (source.isNull() || width <= 0 || r.h <= 0) {
        return;
    }
    target.drawImage(QPoint(r.x, r.y), source, QRect(r.x, r.y, width, r.h));
}

void FillRect(QPainter& target, int x, int y, int w, int h, COLORREF colour) {
    if (w > 0 && h > 0) {
        target.fillRect(QRect(x, y, w, h), FromColorRef(colour));
    }
}

void DrawMainState(QPainter& target, const PageLooks& looks, std::span<const ButtonPos> rects,
                   int hover) {
    // A current level outside 0..5 lights no level.
    if (g_dpiLevel < DpiLevelCount) {
        BlitSkinRect(target, looks.down, rects, MainDpiLevelFirst + static_cast<int>(g_dpiLevel));
    }
    if (hover >= MainSlotFirst && hover <= MainSlotLast) {
        BlitSkinRect(target, looks.over, rects, hover + MainSlotCompanionOffset);
    }
    for (int j = 0; j < DpiLevelCount; ++j) {
        const COLORREF colour = g_dpiColorRef[static_cast<std::size_t>(j)];
        if (const ButtonPos* swatch = RectAt(rects, MainDpiColorFirst + j)) {
            FillRect(target, swatch->x, swatch->y, swatch->w, swatch->h, colour);
        }
        // A step above 11 is sent as the highest DPI, so its slider shows full.
        const int step = std::min<int>(g_dpiSet[static_cast<std::size_t>(j)], LastDpiStep);
        for (int k = 0; k <= step; ++k) {
            if (const ButtonPos* cell =
                    RectAt(rects, MainDpiCellFirst + DpiCellsPerLevel * j + k)) {
                FillRect(target, cell->x + 1, cell->y + 1, cell->w - 2, cell->h - 1, colour);
            }
        }
        if (g_dpiSetEn[static_cast<std::size_t>(j)]) {
            BlitSkinRect(target, looks.down, rects, MainDpiEnableFirst + j);
        }
    }
    BlitSkinRect(target, looks.down, rects, g_wheelStatus != 0 ? MainWheelOn : MainWheelOff);
    BlitSkinRect(target, looks.down, rects, g_modeStatus != 0 ? MainModeOn : MainModeOff);
}

void DrawAdvancedState(QPainter& target, const PageLooks& looks, std::span<const ButtonPos> rects) {
    if (g_recording != 0) {
        BlitSkinRect(target, looks.down, rects, AdvRecord);
    }
    if (g_curMacro >= 0 && g_curMacro < UserMacroSlots) {
        const int mode = g_macros[static_cast<std::size_t>(g_curMacro)].mode & MacroModeMask;
        if (mode == 2) {
            BlitSkinRect(target, looks.down, rects, AdvMode2);
        } else if (mode == 0) {
            BlitSkinRect(target, looks.down, rects, AdvCountMode);
        }
    }
    if (g_dpiSpeed < SpeedSteps) {
        BlitSkinRect(target, looks.down, rects, AdvDpiSpeedFirst + g_dpiSpeed);
    }
    if (g_wheelSpeed < SpeedSteps) {
        BlitSkinRect(target, looks.down, rects, AdvWheelSpeedFirst + g_wheelSpeed);
    }
    if (g_usbSpeed < UsbSpeedSteps) {
        BlitSkinRect(target, looks.down, rects, AdvUsbSpeedFirst + g_usbSpeed);
    }
    // The bar grows with the fire time; a value above 300 shows the whole track and a negative
    // one (stored as its 32-bit pattern) none.
    if (const ButtonPos* track = RectAt(rects, AdvFireTrack)) {
        const auto fireTime = static_cast<std::int32_t>(g_fireTime);
        const std::int64_t width =
            fireTime >= MaxFireTime ? track->w
                                    : static_cast<std::int64_t>(fireTime) * track->w / MaxFireTime;
        if (width > 0) {
            BlitLeftPart(target, looks.down, *track, static_cast<int>(width));
        }
    }
    if (g_trackInsertMode != 0) {
        BlitSkinRect(target, looks.down, rects, AdvTrackMode);
    }
}

void DrawColorState(QPainter& target, const PageLooks& looks, std::span<const ButtonPos> rects,
                    SkinImageCache& images, const QString& skinDir) {
    const std::uint8_t type = g_ledType.load();
    if (type < LedTypeCount) {
        BlitSkinRect(target, looks.down, rects, ColorLedTypeFirst + type);
    }
    const std::uint8_t cycleTime = g_ledCycTime.load();
    if ((type == 0 || type == 1) && cycleTime <= MaxCycleTime) {
        BlitSkinRect(target, looks.down, rects, ColorCycTimeLast - cycleTime);
    }
    for (int k = 0; k < CycleColorCount; ++k) {
        if (g_cycColorOn[static_cast<std::size_t>(k)].load() != 0) {
            BlitSkinRect(target, looks.down, rects, k);
        }
    }
    if (g_ledPreviewGray.load() != 0) {
        BlitSkinRect(target, looks.normal, rects, ColorSwatch);
        return;
    }
    const std::int32_t colour = g_ledPreviewColor.load();
    if (colour == 0) {
        BlitSkinRect(target, looks.over, rects, ColorSwatch);
    } else if (colour == 1) {
        BlitSkinRect(target, looks.down, rects, ColorSwatch);
    } else if (colour >= 2 && colour < 2 + static_cast<int>(ColorSwatchImages.size())) {
        BlitSkinRect(target,
                     images.Get(skinDir, ColorSwatchImages[static_cast<std::size_t>(colour - 2)]),
                     rects, ColorSwatch);
    }
}

std::span<const ButtonPos> PageRects(const PageLayouts& layouts, std::uint8_t page) {
    switch (page) {
        case PageAdvanced:
            return layouts.m_posAdv;
        case PageColor:
            return layouts.m_posColor;
        default:
            return layouts.m_posMain;
    }
}

int PageHover(std::uint8_t page) {
    switch (page) {
        case PageAdvanced:
            return g_hoverAdv;
        case PageColor:
            return g_hoverColor;
        default:
            return g_hoverMain;
    }
}

enum class Align { Centre, Left };

void DrawCaption(QPainter& target, const QString& text, const ButtonPos& r, Align align,
                 const QColor& colour) {
    if (text.isEmpty()) {
        return;
    }
    const QFontMetrics metrics(target.font());
    const int cx = metrics.horizontalAdvance(text);
    const int cy = metrics.height();
    const int x = align == Align::Left ? r.x + 5 : r.x + (r.w - cx) / 2;
    const int y = r.y + (r.h - cy) / 2;
    target.setPen(colour);
    target.drawText(QPoint(x, y + metrics.ascent()), text);
}

// The advanced page's captions that show a value instead of their label.
void RewriteAdvancedCaptions(PageLayouts& layouts) {
    const bool english = g_langSel == 1;
    const bool recording = g_recording != 0;
    layouts.m_strAdv[AdvRecord] =
        english ? (recording ? QStringLiteral("Stop") : QStringLiteral("Record"))
                : (recording ? QStringLiteral("停止") : QStringLiteral("录制"));
    layouts.m_strAdv[AdvKeyDownCaption] = QStringLiteral("[↓]") + QString::number(g_keyDownSteps);
    layouts.m_strAdv[AdvKeyUpCaption] = QStringLiteral("[↑]") + QString::number(g_keyUpSteps);
    g_strFireTime = FireTimeText();
    layouts.m_strAdv[AdvFireCaption] = g_strFireTime + QStringLiteral("ms");
}

QString SlotCaption(int slot) {
    const std::int32_t row = g_curConfigIdx.load();
    if (row < 0 || row >= ProfileCount) {
        return {};
    }
    return FunctionCaption(KeyFunc[static_cast<std::size_t>(row)][static_cast<std::size_t>(slot)]);
}

}  // namespace

void BlitSkinRect(QPainter& target, const QImage& source, std::span<const ButtonPos> rects,
                  int index) {
    const ButtonPos* r = RectAt(rects, index);
    if (r == nullptr || source.isNull() || r->w <= 0 || r->h <= 0) {
        return;
    }
    target.drawImage(QPoint(r->x, r->y), source, QRect(r->x, r->y, r->w, r->h));
}

void DrawPageState(QPainter& target, const PageLooks& looks, std::uint8_t page,
                   const PageLayouts& layouts, int hover, SkinImageCache& images,
                   const QString& skinDir) {
    const std::span<const ButtonPos> rects = PageRects(layouts, page);
    if (hover != NoHover) {
        BlitSkinRect(target, g_mousePressed != 0 ? looks.down : looks.over, rects, hover);
    }
    switch (page) {
        case PageAdvanced:
            DrawAdvancedState(target, looks, rects);
            break;
        case PageColor:
            DrawColorState(target, looks, rects, images, skinDir);
            break;
        default:
            DrawMainState(target, looks, rects, hover);
            break;
    }
}

void DrawButtonStates(QPainter& target, const PageLooks& looks, const PageLayouts& layouts,
                      std::uint8_t tab) {
    const std::span<const ButtonPos> rects = layouts.m_posMain;
    // Chinese is every language setting but English, so one of the two is always lit.
    const int language = g_langSel == 1 ? FrameEnglish : FrameChinese;
    for (int i = 0; i < FrameButtonCount; ++i) {
        if (i == g_curConfig + FrameProfileOffset) {
            BlitSkinRect(target, looks.down, rects, i);
        } else if (i == g_hoverMain) {
            BlitSkinRect(target, g_mousePressed != 0 ? looks.down : looks.over, rects, i);
        } else if (i == tab || i == language) {
            BlitSkinRect(target, looks.down, rects, i);
        }
    }
}

void DrawButtonCaptions(QPainter& target, std::uint8_t page, PageLayouts& layouts, unsigned count) {
    target.setFont(g_font);
    if (page == PageAdvanced) {
        RewriteAdvancedCaptions(layouts);
    }
    for (int i = 0; i < static_cast<int>(count); ++i) {
        if (i < FrameButtonCount) {
            DrawCaption(target, layouts.m_strMain[static_cast<std::size_t>(i)],
                        layouts.m_posMain[static_cast<std::size_t>(i)], Align::Centre,
                        CaptionWhite);
            continue;
        }
        const int k = i - FrameButtonCount;
        if (page == PageAdvanced) {
            if (k >= AdvRectCount) {
                break;
            }
            DrawCaption(target, layouts.m_strAdv[static_cast<std::size_t>(k)],
                        layouts.m_posAdv[static_cast<std::size_t>(k)], Align::Centre,
                        k == g_hoverAdv ? CaptionHover : CaptionWhite);
        } else if (page == PageColor) {
            if (k >= ColorRectCount) {
                break;
            }
            const QString text = k == ColorDpiCaption
                                     ? QString::number(DpiCaptionValue(g_dpiLevel))
                                     : layouts.m_strColor[static_cast<std::size_t>(k)];
            DrawCaption(target, text, layouts.m_posColor[static_cast<std::size_t>(k)],
                        Align::Centre, CaptionWhite);
        } else {
            if (i >= MainRectCount) {
                break;
            }
            const ButtonPos& r = layouts.m_posMain[static_cast<std::size_t>(i)];
            if (i >= MainSlotFirst && i <= MainSlotLast) {
                DrawCaption(target, SlotCaption(i - MainSlotFirst), r, Align::Left,
                            i == g_hoverMain ? CaptionHover : CaptionWhite);
            } else {
                DrawCaption(target, layouts.m_strMain[static_cast<std::size_t>(i)], r,
                            Align::Centre, CaptionWhite);
            }
        }
    }
}

QImage ComposePage(PageLayouts& layouts, SkinImageCache& images, const QString& skinDir,
                   QSize size) {
    std::uint8_t page = g_page.load();
    if (page >= PageImages.size()) {
        page = PageMain;
    }
    const PageImageSet& names = PageImages[page];
    const PageLooks looks{images.Get(skinDir, names.normal), images.Get(skinDir, names.over),
                          images.Get(skinDir, names.down)};
    QImage canvas;
    if (looks.normal.isNull()) {
        canvas = QImage(size, QImage::Format_RGB32);
        canvas.fill(FromColorRef(DarkBackground));
    } else {
        canvas = looks.normal.copy(QRect(QPoint(0, 0), size));
    }
    QPainter painter(&canvas);
    DrawPageState(painter, looks, page, layouts, PageHover(page), images, skinDir);
    DrawButtonStates(painter, looks, layouts, PageTabs[page]);
    DrawButtonCaptions(painter, page, layouts, PageCaptionCounts[page]);
    painter.end();
    return canvas;
}

void PaintMinimized(QPainter& target, const QIcon& icon, QSize client) {
    constexpr int IconSize = 32;  // SM_CXICON, SM_CYICON
    const int x = (client.width() - IconSize + 1) / 2;
    const int y = (client.height() - IconSize + 1) / 2;
    icon.paint(&target, QRect(x, y, IconSize, IconSize));
}

void OnCtlColor(QWidget* control) {
    const QColor background = FromColorRef(DarkBackground);
    const QColor text(255, 255, 255);
    QPalette palette = control->palette();
    for (QPalette::ColorRole role :
         {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase}) {
        palette.setColor(role, background);
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, text);
    }
    control->setPalette(palette);
    control->setAutoFillBackground(true);
    control->setFont(g_font);
}

bool ChildControlColours::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildPolished) {
        auto* child = static_cast<QChildEvent*>(event)->child();
        auto* control = qobject_cast<QWidget*>(child);
        if (control != nullptr && !control->isWindow() && control->parent() == watched) {
            OnCtlColor(control);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ui
