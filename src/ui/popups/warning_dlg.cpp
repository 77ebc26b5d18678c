#include "ui/popups/warning_dlg.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/popups/popup_paint.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_images.h"
#include "ui/skin/window_shape.h"

std::int32_t g_warnHover = 0;
std::int32_t g_warnPrevHover = 0;

namespace {

// A box sized from a hand-edited layout stays within a screen.
constexpr std::int64_t MaxFallbackSize = 4096;

QRect RectOf(const ui::ButtonPos& pos) {
    return QRect(pos.x, pos.y, pos.w, pos.h);
}

}  // namespace

WarningDlg::WarningDlg(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    OnInitDialog();
}

bool WarningDlg::OnInitDialog() {
    const QImage mask = ui::PopupImage(ui::WarningMaskImage);
    if (!mask.isNull()) {
        m_width = mask.width();
        m_height = mask.height();
        shape_ = ui::WindowRegionFromMask(mask);
    }
    if (m_width < 1 || m_height < 1) {
        // No mask to size the box: a plain box around the three rectangles of the layout.
        std::int64_t right = 0;
        std::int64_t bottom = 0;
        for (const ui::ButtonPos& pos : ui::g_warnRects) {
            right = std::max<std::int64_t>(right, std::int64_t{pos.x} + std::max(pos.w, 0));
            bottom = std::max<std::int64_t>(bottom, std::int64_t{pos.y} + std::max(pos.h, 0));
        }
        m_width = static_cast<int>(std::min<std::int64_t>(right, MaxFallbackSize));
        m_height = static_cast<int>(std::min<std::int64_t>(bottom, MaxFallbackSize));
    }
    if (shape_.isEmpty()) {
        shape_ = QRegion(0, 0, m_width, m_height);
    }
    setMask(shape_);
    setGeometry(g_popupX, g_popupY, std::max(m_width, 1), std::max(m_height, 1));
    return true;
}

int WarningDlg::DoModal() {
    const bool reachable = shape_.intersects(RectOf(ui::g_warnRects[0])) ||
                           shape_.intersects(RectOf(ui::g_warnRects[1]));
    if (!reachable) {
        return 1;
    }
    return exec();
}

int WarningDlg::HitTest(QPoint point) {
    if (ui::g_warnRects[0].Contains(point.x(), point.y())) {
        return 1;
    }
    if (ui::g_warnRects[1].Contains(point.x(), point.y())) {
        return 2;
    }
    return ui::NoHover;
}

void WarningDlg::TrackHover(QPoint point) {
    g_warnHover = HitTest(point);
    if (g_warnHover != g_warnPrevHover) {
        g_warnPrevHover = g_warnHover;
        update();
    }
}

void WarningDlg::mouseMoveEvent(QMouseEvent* event) {
    TrackHover(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void WarningDlg::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The hover is taken where the button comes up: a box that opened under a still pointer
    // has seen no movement, and the last box's hover must not answer this one.
    TrackHover(event->position().toPoint());
    if (g_warnHover == 1 || g_warnHover == 2) {
        done(g_warnHover);
    }
}

void WarningDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect box(0, 0, m_width, m_height);
    ui::CopyBand(painter, ui::PopupImage(ui::WarningNormalImage), box, ui::PopupFallbackBackground);
    if (g_warnHover == 1 || g_warnHover == 2) {
        ui::CopyBand(painter, ui::PopupImage(ui::WarningOverImage),
                     RectOf(ui::g_warnRects[g_warnHover - 1]), ui::PopupFallbackBand);
    }
    for (int i = 0; i < ui::WarnRectCount; ++i) {
        ui::DrawCentredText(painter, RectOf(ui::g_warnRects[i]), ui::g_strWarn[i],
                            ui::PopupTextRed);
    }
}
