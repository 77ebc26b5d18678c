#include "skin_painter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace skin_art {
namespace {

// Palette.
const QColor Background{0x1B, 0x1B, 0x1F};
const QColor BarFill{0x14, 0x14, 0x17};
const QColor BarLine{0x2C, 0x2C, 0x33};
const QColor PanelFill{0x23, 0x23, 0x28};
const QColor PanelLine{0x30, 0x30, 0x38};
const QColor ControlFill{0x1E, 0x1E, 0x1E};  // the child controls' own background
const QColor ButtonFill{0x34, 0x34, 0x3C};
const QColor ButtonLine{0x45, 0x45, 0x4F};
const QColor HoverFill{0x40, 0x40, 0x4A};
const QColor Accent{0x3F, 0xA9, 0xF5};
const QColor AccentFill{0x1F, 0x6F, 0xB5};
const QColor AccentDeep{0x14, 0x46, 0x6F};
const QColor Ink{0xC8, 0xC8, 0xC8};
const QColor DimInk{0x8A, 0x8A, 0x95};
const QColor CloseRed{0xC4, 0x2B, 0x1C};
const QColor WarnRed{0xC0, 0x39, 0x2B};
const QColor PreviewGrey{0x4A, 0x4A, 0x4A};

QRectF Box(const ui::ButtonPos& r) {
    return QRectF(r.x, r.y, r.w, r.h);
}

// A rectangle whose 1-pixel outline lies on its outermost pixels.
QRectF Inner(const ui::ButtonPos& r) {
    return QRectF(r.x + 0.5, r.y + 0.5, r.w - 1.0, r.h - 1.0);
}

void RoundBox(QPainter& p, const QRectF& box, const QColor& fill, const QColor& line, qreal radius,
              qreal lineWidth = 1.0) {
    p.setPen(line.isValid() ? QPen(line, lineWidth) : QPen(Qt::NoPen));
    p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    p.drawRoundedRect(box, radius, radius);
}

void Digit(QPainter& p, const QRectF& box, const QString& text, const QColor& ink, int pixels) {
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(pixels);
    font.setBold(true);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(box, Qt::AlignCenter, text);
}

QColor Blend(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

void Button(QPainter& p, const ui::ButtonPos& r, State s, bool accent) {
    if (accent) {
        const QColor fill = s == State::Normal ? AccentFill
                            : s == State::Over ? QColor(0x25, 0x80, 0xC8)
                                               : AccentDeep;
        RoundBox(p, Inner(r), fill, s == State::Normal ? QColor(0x2D, 0x7F, 0xC0) : Accent, 4);
        return;
    }
    const QColor fill = s == State::Normal ? ButtonFill : s == State::Over ? HoverFill : AccentFill;
    RoundBox(p, Inner(r), fill, s == State::Normal ? ButtonLine : Accent, 4);
}

void Tab(QPainter& p, const ui::ButtonPos& r, State s) {
    const QRectF box = Inner(r);
    if (s != State::Normal) {
        RoundBox(p, box, s == State::Over ? QColor(0x2C, 0x2C, 0x34) : PanelFill, QColor(), 4);
    }
    const int thickness = s == State::Normal ? 1 : 3;
    p.fillRect(QRectF(r.x, r.y + r.h - thickness, r.w, thickness),
               s == State::Normal ? ButtonLine : Accent);
}

void Glyph(QPainter& p, const ui::ButtonPos& r, State s, const QString& kind) {
    if (s != State::Normal) {
        const QColor fill =
            s == State::Over ? HoverFill : (kind == QLatin1String("close") ? CloseRed : AccentFill);
        RoundBox(p, Inner(r), fill, QColor(), 4);
    }
    const QPointF c(r.x + r.w / 2.0, r.y + r.h / 2.0);
    p.setPen(QPen(s == State::Normal ? Ink : Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (kind == QLatin1String("min")) {
        p.drawLine(c + QPointF(-6, 4), c + QPointF(6, 4));
    } else if (kind == QLatin1String("close")) {
        p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
        p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
    } else {  // tray: an arrow down into a tray
        p.drawLine(c + QPointF(0, -7), c + QPointF(0, 2));
        p.drawLine(c + QPointF(-4, -2), c + QPointF(0, 2));
        p.drawLine(c + QPointF(4, -2), c + QPointF(0, 2));
        p.drawPolyline(QPolygonF(
            {c + QPointF(-7, 1), c + QPointF(-7, 6), c + QPointF(7, 6), c + QPointF(7, 1)}));
    }
}

void Slot(QPainter& p, const ui::ButtonPos& r, State s) {
    const QColor fill = s == State::Normal ? ControlFill
                        : s == State::Over ? QColor(0x26, 0x26, 0x2C)
                                           : QColor(0x1F, 0x3F, 0x5F);
    RoundBox(p, Inner(r), fill, s == State::Normal ? ButtonLine : Accent, 4);
    // A small arrow at the right: the slot opens a list.
    const QPointF c(r.x + r.w - 16.0, r.y + r.h / 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(s == State::Normal ? DimInk : Accent);
    p.drawPolygon(QPolygonF({c + QPointF(-5, -2.5), c + QPointF(5, -2.5), c + QPointF(0, 3.5)}));
}

void Badge(QPainter& p, const ui::ButtonPos& r, State s, const QString& digit) {
    const QRectF box = Inner(r).adjusted(2, 2, -2, -2);
    p.setPen(Qt::NoPen);
    p.setBrush(s == State::Normal ? ButtonFill : Accent);
    p.drawEllipse(box);
    Digit(p, Box(r), digit, s == State::Normal ? Ink : QColor(0x0E, 0x0E, 0x10), 14);
}

void Level(QPainter& p, const ui::ButtonPos& r, State s, const QString& digit) {
    const QColor fill = s == State::Down ? AccentFill : QColor(0x2B, 0x2B, 0x31);
    RoundBox(p, Inner(r), fill, s == State::Normal ? ButtonLine : Accent, 4);
    Digit(p, Box(r), digit, s == State::Normal ? Ink : Qt::white, 14);
}

void Mark(QPainter& p, const ui::ButtonPos& r, State s) {
    RoundBox(p, Inner(r), s == State::Down ? AccentFill : ControlFill,
             s == State::Normal ? QColor(0x6A, 0x6A, 0x75) : Accent, 3);
    if (s == State::Down) {
        p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        const qreal x = r.x, y = r.y, w = r.w, h = r.h;
        p.drawPolyline(
            QPolygonF({QPointF(x + w * 0.22, y + h * 0.52), QPointF(x + w * 0.42, y + h * 0.72),
                       QPointF(x + w * 0.78, y + h * 0.30)}));
    }
}

// The rectangle itself is filled with the level's colour at run time: the frame lies outside.
void Swatch(QPainter& p, const ui::ButtonPos& r, State s) {
    p.fillRect(Box(r), ControlFill);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(s == State::Normal ? QColor(0x6A, 0x6A, 0x75) : Accent, 1.0));
    p.drawRect(QRectF(r.x - 1.5, r.y - 1.5, r.w + 2.0, r.h + 2.0));
}

// A slider cell; the run-time fill covers it but for its left, top and right edges.
void Cell(QPainter& p, const ui::ButtonPos& r, State s, const QString& value) {
    p.fillRect(Box(r), s == State::Normal ? ControlFill : QColor(0x2A, 0x2A, 0x30));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(s == State::Normal ? QColor(0x3A, 0x3A, 0x44) : Accent, 1.0));
    p.drawRect(Inner(r));
    if (!value.isEmpty()) {
        QFont font(QStringLiteral("WenQuanYi Zen Hei"));
        font.setPixelSize(9);
        p.setFont(font);
        p.setPen(DimInk);
        // Alternate columns on two lines, so that four-digit values do not run together.
        const bool upper = ((r.x / std::max(1, r.w)) % 2) == 0;
        p.drawText(QRectF(r.x - 8, r.y - (upper ? 24 : 13), r.w + 16, 12), Qt::AlignCenter, value);
    }
}

// The fire-time track: the pressed look is the full bar, of which the window shows a part.
void Bar(QPainter& p, const ui::ButtonPos& r, State s) {
    if (s == State::Down) {
        QLinearGradient g(r.x, 0, r.x + r.w, 0);
        g.setColorAt(0, AccentFill);
        g.setColorAt(1, Accent);
        p.setPen(QPen(Accent, 1.0));
        p.setBrush(g);
        p.drawRoundedRect(Inner(r), 3, 3);
        return;
    }
    RoundBox(p, Inner(r), ControlFill, s == State::Normal ? ButtonLine : Accent, 3);
    p.setPen(QPen(QColor(0x3A, 0x3A, 0x44), 1.0));
    for (int i = 1; i < 6; ++i) {
        const qreal x = r.x + r.w * i / 6.0;
        p.drawLine(QPointF(x, r.y + r.h - 6.0), QPointF(x, r.y + r.h - 2.0));
    }
}

void Preview(QPainter& p, const ui::ButtonPos& r, const QColor& colour) {
    p.fillRect(Box(r), colour);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour.darker(140), 1.0));
    p.drawRect(Inner(r));
}

void CycleColour(QPainter& p, const ui::ButtonPos& r, State s, const QColor& colour) {
    const QColor fill = s == State::Normal ? QColor(0x2B, 0x2B, 0x31) : ButtonFill;
    const QColor line = s == State::Normal ? ButtonLine : s == State::Over ? Accent : colour;
    RoundBox(p, Inner(r), fill, line, 4, s == State::Down ? 2.0 : 1.0);
    const qreal t = s == State::Normal ? 0.35 : s == State::Over ? 0.7 : 1.0;
    p.setPen(Qt::NoPen);
    p.setBrush(Blend(fill, colour, t));
    p.drawEllipse(QPointF(r.x + 18.0, r.y + r.h / 2.0), 8, 8);
}

void Heading(QPainter& p, const ui::ButtonPos& r) {
    p.fillRect(QRectF(r.x, r.y + r.h - 1, r.w, 1), PanelLine);
    p.fillRect(QRectF(r.x + r.w / 2.0 - 12, r.y + r.h - 2, 24, 2), Accent);
}

void Title(QPainter& p, const ui::ButtonPos& r) {
    RoundBox(p, QRectF(r.x + 2, r.y + 4, 14, r.h - 8), AccentFill, Accent, 3);
}

void DrawItem(QPainter& p, const Item& item, State s, const std::optional<QColor>& swatch) {
    const ui::ButtonPos& r = item.rect;
    if (r.w <= 0 || r.h <= 0) {
        return;
    }
    const QString kind = item.look.section(u':', 0, 0);
    const QString arg = item.look.section(u':', 1);
    if (kind == QLatin1String("titlebar") || kind == QLatin1String("footer")) {
        p.fillRect(Box(r), BarFill);
        const int lineY = kind == QLatin1String("titlebar") ? r.y + r.h - 1 : r.y;
        p.fillRect(QRectF(r.x, lineY, r.w, 1), BarLine);
    } else if (kind == QLatin1String("panel")) {
        RoundBox(p, Inner(r), PanelFill, PanelLine, 8);
    } else if (kind == QLatin1String("popup")) {
        RoundBox(p, Inner(r), PanelFill, WarnRed, 10, 1.0);
        p.fillRect(QRectF(r.x + 10, r.y + 1, r.w - 20, 3), WarnRed);
    } else if (kind == QLatin1String("button") || kind == QLatin1String("accent")) {
        Button(p, r, s, kind == QLatin1String("accent"));
    } else if (kind == QLatin1String("tab")) {
        Tab(p, r, s);
    } else if (kind == QLatin1String("glyph")) {
        Glyph(p, r, s, arg);
    } else if (kind == QLatin1String("slot")) {
        Slot(p, r, s);
    } else if (kind == QLatin1String("badge")) {
        Badge(p, r, s, arg);
    } else if (kind == QLatin1String("level")) {
        Level(p, r, s, arg);
    } else if (kind == QLatin1String("mark")) {
        Mark(p, r, s);
    } else if (kind == QLatin1String("swatch")) {
        Swatch(p, r, s);
    } else if (kind == QLatin1String("cell")) {
        Cell(p, r, s, arg);
    } else if (kind == QLatin1String("bar")) {
        Bar(p, r, s);
    } else if (kind == QLatin1String("preview")) {
        const QColor colour = swatch             ? *swatch
                              : s == State::Over ? CycleYellow
                              : s == State::Down ? CycleBlue
                                                 : PreviewGrey;
        Preview(p, r, colour);
    } else if (kind == QLatin1String("colour")) {
        CycleColour(p, r, s, QColor(QLatin1Char('#') + arg));
    } else if (kind == QLatin1String("value") || kind == QLatin1String("edit")) {
        RoundBox(p, QRectF(r.x - 0.5, r.y - 0.5, r.w + 1.0, r.h + 1.0), ControlFill, ButtonLine, 2);
    } else if (kind == QLatin1String("heading")) {
        Heading(p, r);
    } else if (kind == QLatin1String("title")) {
        Title(p, r);
    }
    // "label" and anything unknown: a caption only, nothing to draw.
}

}  // namespace

QImage DrawPage(const ui::ButtonPos& bounds, const std::vector<Item>& items, State state,
                std::optional<QColor> swatch) {
    QImage image(bounds.w, bounds.h, QImage::Format_RGB32);
    image.fill(Background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const Item& item : items) {
        DrawItem(p, item, state, swatch);
    }
    return image;
}

QImage WindowMask(int width, int height, int radius) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(0, 0, width, height), radius, radius);
    return image;
}

QImage PlainMask(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QImage DrawMenu(int rows, bool arrows, State state) {
    QImage image(MenuWidth, MenuRowHeight * rows, QImage::Format_RGB32);
    image.fill(PanelFill);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int r = 0; r < rows; ++r) {
        const qreal y = r * MenuRowHeight;
        if (state != State::Normal) {
            // Every row carries the band: the popup copies the hovered row's band from here.
            p.fillRect(QRectF(0, y, MenuWidth, MenuRowHeight),
                       state == State::Over ? QColor(0x3A, 0x3A, 0x46) : QColor(0x4A, 0x4A, 0x58));
            p.fillRect(QRectF(0, y + 3, 3, MenuRowHeight - 6), Accent);
        }
        p.fillRect(QRectF(8, y + MenuRowHeight - 1, MenuWidth - 16, 1), PanelLine);
        const int row = r + 1;
        if (arrows && row >= 7 && row <= 10) {
            const QPointF c(MenuWidth - 14.0, y + MenuRowHeight / 2.0);
            p.setPen(QPen(state == State::Normal ? DimInk : Accent, 1.6, Qt::SolidLine,
                          Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF({c + QPointF(-3, -5), c + QPointF(2, 0), c + QPointF(-3, 5)}));
        }
    }
    p.setPen(QPen(ButtonLine, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, MenuWidth - 1.0, MenuRowHeight * rows - 1.0));
    return image;
}

}  // namespace skin_art
