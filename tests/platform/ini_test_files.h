// Temporary INI files for the INI tests: each test gets its own folder.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class IniFileTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }

    QString Make(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) {
        QFile file(PathOf(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return PathOf(name);
    }

    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return QByteArray("<missing>");
        }
        return file.readAll();
    }

    QTemporaryDir dir_;
};

// UTF-16LE bytes of an ASCII text, with the FF FE mark in front.
inline QByteArray Utf16File(const QByteArray& ascii) {
    QByteArray out("\xFF\xFE", 2);
    for (char c : ascii) {
        out.append(c);
        out.append('\0');
    }
    return out;
}
