// A plain private-profile reader and writer (UTF-8, CRLF), enough for the macro files until
// the full layer with its encoding and quoting rules replaces it.
#include "platform/ini.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <mutex>

namespace platform {
namespace {

std::mutex g_iniLock;

QStringList ReadLines(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

bool IsSection(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) {
        return false;
    }
    qsizetype end = t.indexOf(u']');
    *name = (end < 0 ? t.mid(1) : t.mid(1, end - 1)).trimmed();
    return true;
}

bool IsKey(const QString& line, QString* key, QString* value) {
    const QString t = line.trimmed();
    if (t.startsWith(u';')) {
        return false;
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) {
        return false;
    }
    *key = t.left(eq).trimmed();
    *value = t.mid(eq + 1).trimmed();
    return true;
}

// Line indexes of the section header and of the key (-1 when missing); end is the line after
// the section's last key line.
struct Place {
    int section = -1;
    int key = -1;
    int end = -1;
};

Place Locate(const QStringList& lines, const QString& section, const QString& key) {
    Place place;
    QString name;
    QString k;
    QString v;
    for (int i = 0; i < lines.size(); ++i) {
        if (IsSection(lines[i], &name)) {
            if (place.section >= 0) {
                break;
            }
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                place.section = i;
                place.end = i + 1;
            }
        } else if (place.section >= 0 && IsKey(lines[i], &k, &v)) {
            place.end = i + 1;
            if (place.key < 0 && k.compare(key, Qt::CaseInsensitive) == 0) {
                place.key = i;
            }
        }
    }
    return place;
}

QString Cut(const QString& value, int nSize) {
    return nSize <= 0 ? QString() : value.left(nSize - 1);
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, int nSize, const QString& fileName) {
    std::lock_guard lock(g_iniLock);
    const QStringList lines = ReadLines(fileName);
    const Place place = Locate(lines, section.trimmed(), key.trimmed());
    QString k;
    QString v;
    if (place.key >= 0 && IsKey(lines[place.key], &k, &v)) {
        return Cut(v, nSize);
    }
    QString fallback = defaultValue;
    while (fallback.endsWith(u' ')) {
        fallback.chop(1);
    }
    return Cut(fallback, nSize);
}

bool WritePrivateProfileString(const QString& section, const std::optional<QString>& key,
                               const std::optional<QString>& value, const QString& fileName) {
    std::lock_guard lock(g_iniLock);
    QStringList lines = ReadLines(fileName);
    const QString s = section.trimmed();
    const Place place = Locate(lines, s, key ? key->trimmed() : QString());
    if (!key) {
        if (place.section >= 0) {
            lines.erase(lines.begin() + place.section, lines.begin() + place.end);
        }
    } else if (!value) {
        if (place.key >= 0) {
            lines.removeAt(place.key);
        }
    } else {
        const QString line = key->trimmed() + u'=' + *value;
        if (place.key >= 0) {
            lines[place.key] = line;
        } else if (place.section >= 0) {
            lines.insert(place.end, line);
        } else {
            lines << u'[' + s + u']' << line;
        }
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return file.commit();
}

bool FileExists(const QString& path) {
    return QFileInfo::exists(path);
}

}  // namespace platform
