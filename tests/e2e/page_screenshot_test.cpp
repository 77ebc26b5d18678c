// Each page in both languages as the running program shows it on a real X server, against the
// same page painted offscreen in this process: a paint path that fails on a real display (the
// window's shape, its copy to the screen, its child controls) shows as a different picture.
// The screenshots are kept in the build folder's "screenshots" for a person to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QThread>

#include "app/main_dialog.h"
#include "platform/ini.h"
#include "support/pointer_run.h"
#include "support/program_in_process.h"
#include "support/qt_app.h"
#include "ui/shell/window_state.h"

namespace {

using testing_support::ProgramFolder;

// The frame's page tabs, in the order the test shows the pages.
struct PageTab {
    const char* name;
    int tab;
};
constexpr PageTab Pages[] = {{"main", 9}, {"advanced", 10}, {"colour", 11}};
constexpr std::size_t ColourPage = 2;
// The colour page's preview swatch, which its own thread animates while the page is shown.
constexpr int ColourSwatchRect = 32;

void SetLanguage(const ProgramFolder& folder, int langSel) {
    ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Init"),
                                                    QStringLiteral("LANG_SEL"),
                                                    QString::number(langSel), folder.ConfigIni()));
}

// The share of the window's pixels (inside its shape) whose colours differ visibly.
double DifferingShare(const QImage& shown, const QImage& painted, const QRegion& shape) {
    if (shown.size() != painted.size() || shape.isEmpty()) {
        return 1.0;
    }
    long inside = 0;
    long differing = 0;
    for (const QRect& rect : shape) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QRgb a = shown.pixel(x, y);
                const QRgb b = painted.pixel(x, y);
                ++inside;
                differing += std::abs(qRed(a) - qRed(b)) > 40 ||
                             std::abs(qGreen(a) - qGreen(b)) > 40 ||
                             std::abs(qBlue(a) - qBlue(b)) > 40;
            }
        }
    }
    return inside == 0 ? 1.0 : static_cast<double>(differing) / static_cast<double>(inside);
}

QString ScreenshotPath(int langSel, const char* page, const char* kind) {
    const QString dir = QStringLiteral(ZELBO_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + QStringLiteral("/%1-%2-%3.png")
                     .arg(langSel == 1 ? QStringLiteral("en") : QStringLiteral("cn"),
                          QString::fromLatin1(page), QString::fromLatin1(kind));
}

// The fixture's own start waits until the test has painted the pages offscreen and chosen the
// language.
class PageScreenshots : public testing_support::PointerRunTest {
protected:
    void SetUp() override {
        // The reference is painted in this process, offscreen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        testing_support::TestApplication();
    }

    // The pages as the running program shows them, after a real click on each page's tab.
    std::vector<QImage> Shown(int langSel) {
        SetLanguage(folder_, langSel);
        PointerRunTest::SetUp();
        std::vector<QImage> shots;
        if (window_ == 0) {
            return shots;
        }
        for (const PageTab& page : Pages) {
            Click(page.tab);
            QThread::msleep(400);  // the repaint reaches the server
            shots.push_back(probe_.Capture(window_));
        }
        return shots;
    }

    // The same pages painted offscreen by the window in this process, after the same clicks.
    std::vector<QImage> Painted(int langSel, QRegion& shape, QRect& swatch) {
        testing_support::ProgramInProcess program;
        SetLanguage(program.folder, langSel);
        std::vector<QImage> images;
        CKVE_ZelboDlg dlg;
        EXPECT_TRUE(dlg.OnInitDialog());
        shape = dlg.mask();
        const ui::ButtonPos& r = dlg.layouts().m_posColor[ColourSwatchRect];
        swatch = QRect(r.x, r.y, r.w, r.h);
        for (const PageTab& page : Pages) {
            const QPoint p = Centre(page.tab);
            dlg.OnMouseMove(0, p);
            dlg.OnLButtonDown(0, p);
            dlg.OnLButtonUp(0, p);
            testing_support::ProcessEventsFor(50);
            images.push_back(dlg.grab().toImage().convertToFormat(QImage::Format_RGB32));
        }
        g_page = PageMain;
        return images;
    }

    void Compare(int langSel) {
        // In-process first: the window's threads have ended before this process starts another.
        QRegion shape;
        QRect swatch;
        const std::vector<QImage> painted = Painted(langSel, shape, swatch);
        const std::vector<QImage> shown = Shown(langSel);
        ASSERT_EQ(shown.size(), std::size(Pages));
        ASSERT_EQ(painted.size(), std::size(Pages));
        for (std::size_t i = 0; i < std::size(Pages); ++i) {
            shown[i].save(ScreenshotPath(langSel, Pages[i].name, "xserver"));
            painted[i].save(ScreenshotPath(langSel, Pages[i].name, "offscreen"));
            ASSERT_FALSE(shown[i].isNull()) << Pages[i].name;
            const double share =
                DifferingShare(shown[i], painted[i], i == ColourPage ? shape - swatch : shape);
            EXPECT_LT(share, 0.02)
                << Pages[i].name << ": " << share * 100 << "% of the pixels differ";
        }
    }
};

TEST_F(PageScreenshots, EveryEnglishPageOnTheXServerLooksAsPaintedOffscreen) {
    Compare(1);
}

TEST_F(PageScreenshots, EveryChinesePageOnTheXServerLooksAsPaintedOffscreen) {
    Compare(0);
}

}  // namespace
