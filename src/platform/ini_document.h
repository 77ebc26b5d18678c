// One INI file held in memory: its bytes as read, an index of its sections and keys built by the
// private-profile reading rules, and edits that produce the file's new bytes while leaving every
// line they do not touch byte for byte. Pure data, no file access. A Document that others can
// see never changes after Parse, so any number of threads may read one; only a private copy is
// edited in place (ReplaceValue).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

namespace platform::ini {

enum class Encoding { Utf8, Utf16Le };

class Document {
public:
    // Reads bytes as a file: FF FE starts UTF-16LE, anything else is UTF-8 (a BOM is skipped).
    static Document Parse(QByteArray bytes);

    // The value of key in section by the reading rules (trimmed, quotes removed, first section
    // and first key of a name win, case ignored), or nullptr when the section or key is missing.
    const QString* Find(const QString& section, const QString& key) const;

    // The file's bytes after setting section/key to value, deleting the key, or deleting the
    // section. The result equals Bytes() when the edit changes nothing.
    QByteArray WithValue(const QString& section, const QString& key, const QString& value) const;
    QByteArray WithoutKey(const QString& section, const QString& key) const;
    QByteArray WithoutSection(const QString& section) const;

    // Sets an existing key's value in place, as Parse(WithValue(...)) would leave the document,
    // without parsing the file again. Returns false, changing nothing, unless section and key
    // exist and value is plain printable ASCII (which cannot change how the line reads).
    bool ReplaceValue(const QString& section, const QString& key, const QString& value);

    const QByteArray& Bytes() const { return bytes_; }
    Encoding FileEncoding() const { return encoding_; }

private:
    // Byte offsets into bytes_: the line's text is [begin, contentEnd), its line break
    // [contentEnd, end) (empty on a last line without one).
    struct Line {
        qsizetype begin;
        qsizetype contentEnd;
        qsizetype end;
    };
    struct Entry {
        int line;
        QString key;  // as the file spells it
        QString value;
    };
    struct Section {
        int headerLine;
        int lastKeyLine;                   // the header itself while the section has no key line
        std::vector<int> keyLines;         // every key line, duplicates included
        QHash<QString, Entry> firstByKey;  // case-folded key name -> first line of that key
    };

    const Section* FindSection(const QString& section) const;
    QByteArray Encode(const QString& text) const;
    qsizetype LinesEnd() const { return bytes_.size() - tail_; }
    bool EndsWithLineBreak() const;

    QByteArray bytes_;
    Encoding encoding_ = Encoding::Utf8;
    qsizetype tail_ = 0;  // a stray odd byte at the end of a UTF-16 file, kept as it is
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    QHash<QString, int> firstSection_;  // case-folded section name -> index into sections_
};

// Trimming of the names a caller passes in: leading and trailing spaces only.
QString TrimSpaces(const QString& text);

}  // namespace platform::ini
