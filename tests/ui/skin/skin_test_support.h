// Helpers for the skin tests: a window stand-in that records the hide-to-tray steps and the
// messages in one sequence, and writers of layout files in a temporary skin folder.
#pragma once

#include "platform/message_service.h"
#include "ui/skin/skin_layout_file.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace skin_test {

// Records what the window is asked to do, and every message box, in the order they come.
class RecordingWindow final : public ui::SkinWindowHooks, public platform::MessageService {
public:
    RecordingWindow() { previous_ = platform::SetMessageService(this); }
    ~RecordingWindow() override { platform::SetMessageService(previous_); }

    void AddTrayIcon() override { events.append(QStringLiteral("tray icon")); }
    void ShowMinimized() override { events.append(QStringLiteral("minimise")); }
    void HideWindow() override { events.append(QStringLiteral("hide")); }
    void Show(const QString& text) override { events.append(QStringLiteral("message: ") + text); }

    int Count(const QString& event) const { return static_cast<int>(events.count(event)); }

    QStringList events;

private:
    platform::MessageService* previous_ = nullptr;
};

inline const QString MissingFileMessage = QStringLiteral("message: 找不到配置文件");
inline const QString ValueErrorMessage = QStringLiteral("message: 加载ini错误！");

// A skin folder in a fresh temporary directory.
class SkinFolder {
public:
    SkinFolder() {
        EXPECT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath(QStringLiteral("skins/INI_CN"));
        QDir(dir_.path()).mkpath(QStringLiteral("skins/INI_EN"));
    }
    QString Path() const { return dir_.path() + QStringLiteral("/skins"); }

    // Writes lines joined by CRLF as UTF-8 to a file below the skin folder.
    QString Write(const QString& relative, const QStringList& lines) const {
        const QString path = Path() + u'/' + relative;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        return path;
    }

private:
    QTemporaryDir dir_;
};

}  // namespace skin_test
