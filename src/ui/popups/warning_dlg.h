// The warning box the main page shows before the button popup when the clicked slot holds the
// profile's only left click: three red texts from the warning layout (g_warnRects, g_strWarn)
// on the warning skin, shaped by its mask, and two buttons. Its result is the button clicked,
// 1 or 2; Enter, Esc and the window's close command leave it open. User-interface thread only.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRegion>
#include <cstdint>

// The button under the pointer: 1, 2, or 255 for none. Both start at 0 and are kept from one
// box to the next, so a new box shows the last box's hover until the pointer moves over it.
extern std::int32_t g_warnHover;
// The last g_warnHover that repainted a box.
extern std::int32_t g_warnPrevHover;

class WarningDlg final : public QDialog {
public:
    // Created hidden at (g_popupX, g_popupY), sized and shaped by the mask image.
    explicit WarningDlg(QWidget* owner = nullptr);

    // Runs the box modally and returns the button clicked (1 or 2). A box in which neither
    // button can be reached (no mask and no layout) would never end: it is not shown, and the
    // result is 1.
    int DoModal();

    // 1 over the first button, else 2 over the second, else 255.
    static int HitTest(QPoint point);

    // Enter, Esc and the close command end nothing.
    void accept() override {}
    void reject() override {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool OnInitDialog();
    void TrackHover(QPoint point);

    int m_width = 0;
    int m_height = 0;
    QRegion shape_;  // the mask's dark pixels; the whole box without a mask
};
