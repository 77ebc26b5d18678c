// The window's paint: the shown page composed from its three skin images (normal, hover, and
// pressed-or-lit) into one off-screen image, with the looks of the hovered and pressed button,
// of every setting's current value and of the frame buttons copied over the normal look, then
// the captions on top. The window puts the result on the screen in one copy. Also the colours
// of the window's child controls. Values outside their ranges (a hand-edited config.ini) light
// no button and never index past a table.
//
// Threads: user-interface thread only. The display and device threads change some values read
// here (atomics); a paint shows what it reads at that moment.
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <cstdint>
#include <span>

#include "ui/skin/page_layouts.h"

class QIcon;
class QPainter;
class QWidget;

namespace ui {

class SkinImageCache;

// The fire time as the advanced page's edit box and caption show it ("%d" of g_fireTime);
// rewritten on every paint of the advanced page.
extern QString g_strFireTime;
// "%d" of the fire time now.
QString FireTimeText();

// Captions drawn per page: main 0..53, advanced the frame and its 52, colour the frame and 0..31.
inline constexpr unsigned MainCaptionCount = 54;
inline constexpr unsigned AdvancedCaptionCount = 72;
inline constexpr unsigned ColorCaptionCount = 52;

// The colour of a page without its skin image, and of the child controls' background.
inline constexpr std::uint32_t DarkBackground = 0x1E1E1E;

// The three looks of the page being painted; a missing image is null and copies from it draw
// nothing.
struct PageLooks {
    QImage normal;
    QImage over;
    QImage down;
};

// Copies rectangle index of source to the same place of the target, unscaled. An index outside
// rects, an empty rectangle or a null source copies nothing.
void BlitSkinRect(QPainter& target, const QImage& source, std::span<const ButtonPos> rects,
                  int index);

// The page's hover look and the looks of its settings' values; rects and hover are the shown
// page's array and hover index. The colour page's swatch images come from images.
void DrawPageState(QPainter& target, const PageLooks& looks, std::uint8_t page,
                   const PageLayouts& layouts, int hover, SkinImageCache& images,
                   const QString& skinDir);
// The twenty frame buttons; tab is the shown page's tab (9 main, 10 advanced, 11 colour).
void DrawButtonStates(QPainter& target, const PageLooks& looks, const PageLayouts& layouts,
                      std::uint8_t tab);
// The captions of the first count caption slots of the page, after the advanced page's
// rewrites of m_strAdv[4], [33], [43] and [44].
void DrawButtonCaptions(QPainter& target, std::uint8_t page, PageLayouts& layouts, unsigned count);

// The whole page g_page of the given size, ready for the screen. Without its normal image the
// page is plain dark, with every overlay that can still be drawn and all captions.
QImage ComposePage(PageLayouts& layouts, SkinImageCache& images, const QString& skinDir,
                   QSize size);

// A minimised window shows only its icon, centred.
void PaintMinimized(QPainter& target, const QIcon& icon, QSize client);

// OnCtlColor: the skin font, white text on the dark background, for one child control.
void OnCtlColor(QWidget* control);

// Gives every child control of the watched window its colours as it is polished.
class ChildControlColours final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ui
