#include "ui/shell/message_box.h"

#include "ui/shell/dialogs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(MessageLog, EachTextIsOneUtf8LineAppended) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("messages.txt"));
    ui::MessageLogService log(path);
    log.Show(QStringLiteral("请插入【ZP-3907 Gaming mouse】USB鼠标"));
    log.Show(QStringLiteral("two\nlines"));
    EXPECT_EQ(ReadAll(path),
              QStringLiteral("请插入【ZP-3907 Gaming mouse】USB鼠标\ntwo\\nlines\n").toUtf8());
}

TEST(MessageLog, UnwritableFileLosesTheTextAndReturns) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/folder/messages.txt"));
    ui::MessageLogService log(path);
    log.Show(QStringLiteral("CurConfig error!"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(MessageService, EnvironmentChoosesTheLogOverBoxes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.txt"));
    qputenv("ZELBO_MESSAGE_LOG", path.toLocal8Bit());
    auto service = ui::MakeMessageService(nullptr);
    qunsetenv("ZELBO_MESSAGE_LOG");
    platform::MessageService* previous = platform::SetMessageService(service.get());
    platform::ShowMessage(QStringLiteral("找不到配置文件"));
    platform::SetMessageService(previous);
    EXPECT_EQ(ReadAll(path), QStringLiteral("找不到配置文件\n").toUtf8());
}

// The file-type box shows each filter's label once.
TEST(FileDialogFilter, LabelThatHoldsItsPatternIsShownAsItIs) {
    EXPECT_EQ(ui::NameFiltersOf(QStringLiteral("All Files(*.ini)|*.ini||")),
              QStringList{QStringLiteral("All Files(*.ini)")});
    EXPECT_EQ(ui::NameFiltersOf(QStringLiteral("All Files(*.dat)|*.dat||")),
              QStringList{QStringLiteral("All Files(*.dat)")});
    EXPECT_EQ(ui::NameFiltersOf(QStringLiteral("Macros|*.dat|Both(*.a;*.b)|*.a;*.b||")),
              (QStringList{QStringLiteral("Macros (*.dat)"), QStringLiteral("Both(*.a *.b)")}));
}

}  // namespace
