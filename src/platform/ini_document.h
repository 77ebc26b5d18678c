// One INI file held in memory: its bytes as read, an index of its sections by the
// private-profile reading rules, and edits that produce the file's new bytes while leaving every
// line they do not touch byte for byte. Pure data, no file access. A Document that others can
// see never changes after Parse, so any number of threads may read one; only a private copy is
// edited in place (ReplaceValue).
//
// A file may be anything a user picks, so a Document costs its bytes and a small constant per
// distinct section name, never per line: later copies of a section header are invisible to
// every read and edit (the first copy wins), and the key lines of a section are looked at only
// when that section is asked for.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace platform::ini {

enum class Encoding { Utf8, Utf16Le };

class Document {
public:
    // Reads bytes as a file: FF FE starts UTF-16LE, anything else is UTF-8 (a BOM is skipped).
    // Throws std::bad_alloc when the index does not fit in memory.
    static Document Parse(QByteArray bytes);

    // The value of key in section by the reading rules (trimmed, quotes removed, first section
    // and first key of a name win, case ignored), or nothing when the section or key is missing.
    std::optional<QString> Find(const QString& section, const QString& key) const;
    // Whether the file holds a section of that name.
    bool HasSection(const QString& section) const;

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
    // The first section of a name: where its header line starts. Its own lines run to the
    // next header line of any name, or to the end of the lines.
    struct Section {
        qsizetype header;
        std::uint32_t hash;  // of the case-folded name
    };
    // The first line of a key in a section.
    struct KeyLine {
        Line line;
        QString key;  // as the file spells it
        QString value;
    };
    // Decoding buffers of one call, so that the lines of a scan need no allocation each.
    struct Scratch {
        QString line;
        QString name;
    };

    Line LineAt(qsizetype begin) const;
    QStringView TextOf(const Line& line, QString& buffer) const;
    bool IsHeader(const Line& line, Scratch& scratch) const;
    QStringView FoldedHeaderName(const Line& line, Scratch& scratch) const;
    qsizetype BodyBegin(const Section& s) const { return LineAt(s.header).end; }

    // The slot of the first section named folded, or the empty slot where it would go.
    std::size_t Probe(std::uint32_t hash, QStringView folded, Scratch& scratch) const;
    // Rebuilds the hash table for the given number of sections, at most half full.
    void Rehash(std::size_t sections);
    const Section* FindSection(const QString& section) const;
    std::optional<KeyLine> FindKey(const Section& s, const QString& key) const;
    // The section's key lines in file order (every one, duplicates included).
    template <typename Fn>
    void ForEachKeyLine(const Section& s, Scratch& scratch, Fn fn) const;

    QByteArray Encode(const QString& text) const;
    qsizetype LinesEnd() const { return bytes_.size() - tail_; }

    QByteArray bytes_;
    Encoding encoding_ = Encoding::Utf8;
    qsizetype linesBegin_ = 0;  // after the byte-order mark
    qsizetype tail_ = 0;        // a stray odd byte at the end of a UTF-16 file, kept as it is
    bool endsWithLineBreak_ = true;
    // First copies, in file order; in chunks, so that growing never copies (nor touches fresh
    // memory for) what is there.
    std::deque<Section> sections_;
    // Hash table of the sections by name: index + 1 into sections_, 0 when empty; at most half
    // full.
    std::vector<std::uint32_t> slots_ = std::vector<std::uint32_t>(16, 0);
};

// Trimming of the names a caller passes in: leading and trailing spaces only.
QString TrimSpaces(const QString& text);

}  // namespace platform::ini
