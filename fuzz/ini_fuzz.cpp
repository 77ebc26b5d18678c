// Feeds arbitrary bytes to the INI reader as a file, looks keys up, and edits a copy: nothing may
// crash, and a value just written must read back unchanged.
#include "platform/ini.h"
#include "platform/ini_document.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

const QString Sections[] = {QStringLiteral("Init"), QStringLiteral("config1"),
                            QStringLiteral(" s "), QStringLiteral("")};
const QString Keys[] = {QStringLiteral("CurConfig"), QStringLiteral("k"), QStringLiteral("K0 "),
                        QStringLiteral("")};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Require(file.write(bytes) == bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the system offers it: every write syncs the file, which on a disk would
    // make the write path the whole cost of a run.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/ini_fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/ini_fuzz-XXXXXX"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const unsigned pick = size > 0 ? data[0] : 0;
    const QString& section = Sections[pick & 3];
    const QString& key = Keys[(pick >> 2) & 3];

    // In memory: every edit leaves a file that reads the edit back.
    const auto doc = platform::ini::Document::Parse(bytes);
    for (const QString& s : Sections) {
        for (const QString& k : Keys) {
            doc.Find(s, k);
        }
    }
    const auto edited = platform::ini::Document::Parse(doc.WithValue(section, key, "v=1 x"));
    const std::optional<QString> value = edited.Find(section, key);
    Require(value && *value == QStringLiteral("v=1 x"));
    Require(platform::ini::Document::Parse(doc.WithoutKey(section, key)).Bytes().size() <=
            bytes.size());
    platform::ini::Document::Parse(doc.WithoutSection(section));

    // Through the file functions, on a copy of the input.
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    WriteFile(path, bytes);
    for (int nSize : {0, 1, 3, 260}) {
        const QString read = platform::GetPrivateProfileString(section, key, "d  ", nSize, path);
        Require(read.size() <= std::max(0, nSize - 1));
    }
    Require(platform::WritePrivateProfileString(section, key, QStringLiteral("42"), path));
    Require(platform::GetPrivateProfileString(section, key, "", 260, path) == QStringLiteral("42"));
    Require(platform::WritePrivateProfileString(section, key, std::nullopt, path));
    return 0;
}
