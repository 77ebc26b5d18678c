#include "ui/controls/editable_list_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
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

struct Received {
    unsigned message;
    std::uintptr_t wParam;
    QString oldText;   // 0x8840: the previous text, read during the call
    QString lineText;  // 0x8840: what the changed line held during the call
};

// The list's parent window: keeps every window message it is sent.
class Host : public QWidget {
public:
    bool event(QEvent* event) override {
        if (event->type() == ui::WindowMessageEvent::EventType()) {
            auto* m = static_cast<ui::WindowMessageEvent*>(event);
            Received r{m->message(), m->wParam(), {}, {}};
            if (m->message() == WM_LISTITEM_CHANGED) {
                r.oldText = *reinterpret_cast<const QString*>(m->lParam());
                if (list != nullptr) {
                    r.lineText = list->GetText(static_cast<int>(m->wParam()));
                }
            }
            received.push_back(r);
            return true;
        }
        return QWidget::event(event);
    }

    std::vector<unsigned> Messages() const {
        std::vector<unsigned> out;
        for (const Received& r : received) {
            out.push_back(r.message);
        }
        return out;
    }

    CEditableListBox* list = nullptr;
    std::vector<Received> received;
};

class ListEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        host = std::make_unique<Host>();
        MakeList(LBS_NOTIFY);
    }

    void MakeList(unsigned style) {
        delete host->list;
        host->list = new CEditableListBox(host.get(), style);
        host->list->setGeometry(0, 0, 200, 120);
        host->list->show();
        other = other != nullptr ? other : new QLineEdit(host.get());
        other->setGeometry(0, 130, 200, 20);
        for (const char* line : {"100", "120", "130"}) {
            host->list->AddString(QString::fromLatin1(line));
        }
        host->resize(220, 160);
        host->show();
        host->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
        host->received.clear();
    }

    CEditableListBox& list() { return *host->list; }
    QLineEdit& edit() { return host->list->editBox(); }

    void BeginOn(int line) {
        list().SetCurSel(line);
        ui::SendWindowMessage(&list(), ui::WM_CHAR, 1, 0);
    }

    QStringList Lines() {
        QStringList lines;
        for (int i = 0; i < list().GetCount(); ++i) {
            lines << list().GetText(i);
        }
        return lines;
    }

    std::unique_ptr<Host> host;
    QLineEdit* other = nullptr;
};

constexpr unsigned Done = WM_LISTEDIT_DONE;
constexpr unsigned Changed = WM_LISTITEM_CHANGED;

// ---- opening --------------------------------------------------------------------------------

TEST_F(ListEditTest, CharOneOpensAFocusedEditOverTheLineWithItsTextSelected) {
    BeginOn(1);
    ASSERT_TRUE(edit().isVisible());
    EXPECT_EQ(edit().text(), QString("120"));
    EXPECT_EQ(edit().selectedText(), QString("120"));
    EXPECT_TRUE(edit().hasFocus());
    EXPECT_EQ(list().itemUnderEdit(), 1);
    const QRect item = list().visualItemRect(list().item(1));
    EXPECT_EQ(edit().geometry(),
              QRect(item.left(), item.top() - 2, item.width(), item.height() + 4));
    EXPECT_EQ(edit().font(), list().font());
    EXPECT_TRUE(host->received.empty());
}

TEST_F(ListEditTest, NoEditWithoutAPendingCharOne) {
    list().SetCurSel(1);
    QTest::keyClick(&list(), Qt::Key_Insert);
    EXPECT_FALSE(edit().isVisible());
    const QPoint inside = list().visualItemRect(list().item(1)).center();
    QTest::mouseClick(list().viewport(), Qt::RightButton, Qt::NoModifier, inside);
    EXPECT_FALSE(edit().isVisible());
    ui::SendWindowMessage(&list(), ui::WM_CHAR, 2, 0);
    EXPECT_FALSE(edit().isVisible());
    QTest::keyClick(&list(), Qt::Key_Insert);  // the 2 was consumed as well
    EXPECT_FALSE(edit().isVisible());
}

TEST_F(ListEditTest, CharOneWithoutASelectionOrDuringAnEditOpensNothingNew) {
    list().SetCurSel(-1);
    ui::SendWindowMessage(&list(), ui::WM_CHAR, 1, 0);
    EXPECT_FALSE(edit().isVisible());
    EXPECT_EQ(list().itemUnderEdit(), -1);

    BeginOn(0);
    QTest::keyClicks(&edit(), "7");
    list().SetCurSel(2);
    ui::SendWindowMessage(&list(), ui::WM_CHAR, 1, 0);
    EXPECT_EQ(list().itemUnderEdit(), 0);
    EXPECT_EQ(edit().text(), QString("7"));
    EXPECT_TRUE(host->received.empty());
}

// ---- ending ---------------------------------------------------------------------------------

TEST_F(ListEditTest, EnterReplacesTheLineReportsItAndEndsTwice) {
    BeginOn(1);
    QTest::keyClicks(&edit(), "150");
    QTest::keyClick(&edit(), Qt::Key_Return);
    EXPECT_EQ(Lines(), QStringList({"100", "150", "130"}));
    EXPECT_EQ(list().GetCurSel(), 1);
    EXPECT_FALSE(edit().isVisible());
    EXPECT_EQ(list().itemUnderEdit(), -1);
    // The change, then the focus loss of the closing edit box, then the Enter itself.
    ASSERT_EQ(host->Messages(), std::vector<unsigned>({Changed, Done, Done}));
    EXPECT_EQ(host->received[0].wParam, 1u);
    EXPECT_EQ(host->received[0].oldText, QString("120"));
    EXPECT_EQ(host->received[0].lineText, QString("150"));
    EXPECT_EQ(host->received[1].wParam, 0u);
}

TEST_F(ListEditTest, EscLeavesTheListAsItWasAndStillEnds) {
    BeginOn(1);
    QTest::keyClicks(&edit(), "150");
    QTest::keyClick(&edit(), Qt::Key_Escape);
    EXPECT_EQ(Lines(), QStringList({"100", "120", "130"}));
    EXPECT_EQ(list().GetCurSel(), 1);
    EXPECT_FALSE(edit().isVisible());
    EXPECT_EQ(host->Messages(), std::vector<unsigned>({Done, Done}));
}

TEST_F(ListEditTest, UnchangedCommitTouchesNothingAndSendsOnlyTheEnd) {
    BeginOn(2);
    QTest::keyClick(&edit(), Qt::Key_Return);
    EXPECT_EQ(Lines(), QStringList({"100", "120", "130"}));
    EXPECT_EQ(host->Messages(), std::vector<unsigned>({Done, Done}));
}

TEST_F(ListEditTest, ListWithoutNotifyReplacesTheLineWithoutReportingIt) {
    MakeList(0);
    BeginOn(0);
    QTest::keyClicks(&edit(), "99");
    QTest::keyClick(&edit(), Qt::Key_Return);
    EXPECT_EQ(list().GetText(0), QString("99"));
    EXPECT_EQ(host->Messages(), std::vector<unsigned>({Done, Done}));
}

TEST_F(ListEditTest, SortedListPutsTheNewTextInItsPlaceAndSelectsIt) {
    MakeList(LBS_NOTIFY | LBS_SORT);
    BeginOn(0);
    QTest::keyClicks(&edit(), "125");
    QTest::keyClick(&edit(), Qt::Key_Return);
    EXPECT_EQ(Lines(), QStringList({"120", "125", "130"}));
    EXPECT_EQ(list().GetCurSel(), 1);
    ASSERT_FALSE(host->received.empty());
    EXPECT_EQ(host->received[0].wParam, 1u);
    EXPECT_EQ(host->received[0].oldText, QString("100"));
}

TEST_F(ListEditTest, ClickingElsewhereCommitsLikeEnter) {
    BeginOn(1);
    QTest::keyClicks(&edit(), "150");
    QTest::mouseClick(other, Qt::LeftButton);
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Lines(), QStringList({"100", "150", "130"}));
    EXPECT_FALSE(edit().isVisible());
    EXPECT_EQ(host->Messages(), std::vector<unsigned>({Changed, Done}));
}

TEST_F(ListEditTest, ScrollingCommitsBeforeTheLinesMove) {
    for (int i = 0; i < 40; ++i) {
        list().AddString(QString::number(200 + i));
    }
    QApplication::processEvents();
    BeginOn(0);
    QTest::keyClicks(&edit(), "101");
    list().verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(list().GetText(0), QString("101"));
    EXPECT_FALSE(edit().isVisible());
    EXPECT_EQ(host->Messages().front(), Changed);
    EXPECT_EQ(host->Messages().back(), Done);
    EXPECT_GT(list().verticalScrollBar()->value(), 0);
}

TEST_F(ListEditTest, ResizingCommits) {
    BeginOn(2);
    QTest::keyClicks(&edit(), "131");
    list().resize(180, 100);
    EXPECT_EQ(list().GetText(2), QString("131"));
    EXPECT_FALSE(edit().isVisible());
    EXPECT_EQ(host->Messages().front(), Changed);
}

TEST_F(ListEditTest, EndRequestsWithoutAnOpenEditDoNothing) {
    for (int i = 0; i < 40; ++i) {
        list().AddString(QString::number(200 + i));
    }
    QApplication::processEvents();
    host->received.clear();
    ui::SendWindowMessage(&list(), WM_LISTEDIT_END, 1, 0);
    ui::SendWindowMessage(&list(), WM_LISTEDIT_END, 0, 0);
    list().verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    list().resize(150, 90);
    EXPECT_TRUE(host->received.empty());
    EXPECT_EQ(list().GetText(0), QString("100"));
}

TEST_F(ListEditTest, EnterAndEscDoNotReachTheWindowBehindTheEdit) {
    BeginOn(1);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&edit(), &press);
    EXPECT_TRUE(press.isAccepted());
    EXPECT_TRUE(edit().isVisible());  // the edit ends on the key's release
}

TEST_F(ListEditTest, ListGoingAwayDuringAnEditSendsNothing) {
    BeginOn(1);
    QTest::keyClicks(&edit(), "150");
    delete host->list;
    host->list = nullptr;
    EXPECT_TRUE(host->received.empty());
}

}  // namespace
