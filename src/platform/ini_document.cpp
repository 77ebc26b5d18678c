#include "platform/ini_document.h"

#include <QHashFunctions>
#include <QStringView>
#include <limits>
#include <new>

namespace platform::ini {
namespace {

bool IsLineBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool IsValueBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\v';
}

template <typename Pred>
QStringView Trim(QStringView text, Pred isBlank) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// The case-folded name, in buffer. Names of ASCII letters (nearly all) fold without an
// allocation; any other name folds as a whole, as Unicode folds it.
QStringView FoldInto(QStringView name, QString& buffer) {
    for (QChar c : name) {
        if (c.unicode() >= 0x80) {
            buffer = name.toString().toCaseFolded();
            return buffer;
        }
    }
    buffer.resize(name.size());
    QChar* out = buffer.data();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
    }
    return buffer;
}

QString Folded(const QString& name) {
    QString buffer;
    FoldInto(name, buffer);
    return buffer;
}

// The hash of a folded name, seeded per run so that no file can be made to collide.
std::uint32_t NameHash(QStringView folded) {
    static const std::size_t seed = QHashSeed::globalSeed();
    return static_cast<std::uint32_t>(qHash(folded, seed));
}

// A value of two or more characters quoted with the same mark at both ends loses that pair.
QStringView Unquote(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.sliced(1, value.size() - 2);
    }
    return value;
}

struct Splice {
    qsizetype from;
    qsizetype to;
    QByteArray insert;
};

// Splices must be in ascending order and must not overlap.
QByteArray ApplySplices(const QByteArray& bytes, const std::vector<Splice>& splices) {
    QByteArray out;
    qsizetype grow = 0;
    for (const Splice& s : splices) {
        grow += s.insert.size();
    }
    out.reserve(bytes.size() + grow);
    qsizetype pos = 0;
    for (const Splice& s : splices) {
        out.append(bytes.constData() + pos, s.from - pos);
        out.append(s.insert);
        pos = s.to;
    }
    out.append(bytes.constData() + pos, bytes.size() - pos);
    return out;
}

const QString Crlf = QStringLiteral("\r\n");

}  // namespace

QString TrimSpaces(const QString& text) {
    return Trim(QStringView(text), [](QChar c) { return c == u' '; }).toString();
}

Document Document::Parse(QByteArray bytes) {
    Document doc;
    doc.bytes_ = std::move(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(doc.bytes_.constData());
    const qsizetype size = doc.bytes_.size();
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        doc.encoding_ = Encoding::Utf16Le;
        doc.linesBegin_ = 2;
        doc.tail_ = (size - 2) % 2;
    } else if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        doc.linesBegin_ = 3;
    }

    // Only header lines are looked at here; the key lines wait until their section is read.
    // The index grows with the distinct names only: a file of one name repeated costs one entry.
    Scratch scratch;
    Scratch candidate;
    const qsizetype end = doc.LinesEnd();
    for (qsizetype pos = doc.linesBegin_; pos < end;) {
        const Line line = doc.LineAt(pos);
        pos = line.end;
        doc.endsWithLineBreak_ = line.end > line.contentEnd;
        if (!doc.IsHeader(line, scratch)) {
            continue;
        }
        const QStringView folded = doc.FoldedHeaderName(line, scratch);
        const std::uint32_t hash = NameHash(folded);
        const std::size_t slot = doc.Probe(hash, folded, candidate);
        if (doc.slots_[slot] != 0) {
            continue;  // a later copy of a name: invisible, its lines belong to no section
        }
        if (doc.sections_.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
            throw std::bad_alloc();
        }
        doc.sections_.push_back(Section{line.begin, hash});
        doc.slots_[slot] = static_cast<std::uint32_t>(doc.sections_.size());
        if (doc.sections_.size() * 2 > doc.slots_.size()) {
            doc.Rehash(doc.sections_.size());
        }
    }
    return doc;
}

Document::Line Document::LineAt(qsizetype begin) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.constData());
    const qsizetype end = LinesEnd();
    const qsizetype unit = encoding_ == Encoding::Utf16Le ? 2 : 1;
    const auto codeAt = [&](qsizetype at) -> char16_t {
        return unit == 1 ? char16_t(p[at]) : char16_t(p[at] | (p[at + 1] << 8));
    };
    qsizetype at = begin;
    while (at < end && codeAt(at) != u'\r' && codeAt(at) != u'\n') {
        at += unit;
    }
    Line line{begin, at, at};
    if (at < end) {
        const bool crlf = codeAt(at) == u'\r' && at + unit < end && codeAt(at + unit) == u'\n';
        line.end = at + (crlf ? 2 * unit : unit);
    }
    return line;
}

QStringView Document::TextOf(const Line& line, QString& buffer) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.constData()) + line.begin;
    const qsizetype length = line.contentEnd - line.begin;
    if (encoding_ == Encoding::Utf16Le) {
        buffer.resize(length / 2);
        QChar* out = buffer.data();
        for (qsizetype i = 0; i < length / 2; ++i) {
            out[i] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
        }
        return buffer;
    }
    for (qsizetype i = 0; i < length; ++i) {
        if (p[i] >= 0x80) {
            buffer = QString::fromUtf8(reinterpret_cast<const char*>(p), length);
            return buffer;
        }
    }
    buffer.resize(length);
    QChar* out = buffer.data();
    for (qsizetype i = 0; i < length; ++i) {
        out[i] = QChar(char16_t(p[i]));
    }
    return buffer;
}

bool Document::IsHeader(const Line& line, Scratch& scratch) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.constData());
    const qsizetype unit = encoding_ == Encoding::Utf16Le ? 2 : 1;
    for (qsizetype at = line.begin; at < line.contentEnd; at += unit) {
        const char16_t c = unit == 1 ? char16_t(p[at]) : char16_t(p[at] | (p[at + 1] << 8));
        if (IsLineBlank(QChar(c))) {
            continue;
        }
        if (c == u'[') {
            return true;
        }
        // The decoding of a UTF-8 line drops a byte-order mark in front of it.
        if (unit == 1 && at == line.begin && c == 0xEF) {
            const QStringView trimmed = Trim(TextOf(line, scratch.line), IsLineBlank);
            return !trimmed.isEmpty() && trimmed.front() == u'[';
        }
        return false;
    }
    return false;
}

QStringView Document::FoldedHeaderName(const Line& line, Scratch& scratch) const {
    QStringView name = Trim(TextOf(line, scratch.line), IsLineBlank).sliced(1);
    const qsizetype close = name.indexOf(u']');
    if (close >= 0) {
        name = name.first(close);
    }
    return FoldInto(Trim(name, IsLineBlank), scratch.name);
}

std::size_t Document::Probe(std::uint32_t hash, QStringView folded, Scratch& scratch) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint32_t entry = slots_[i];
        if (entry == 0) {
            return i;
        }
        const Section& s = sections_[entry - 1];
        if (s.hash == hash && FoldedHeaderName(LineAt(s.header), scratch) == folded) {
            return i;
        }
    }
}

void Document::Rehash(std::size_t sections) {
    std::size_t size = 16;
    while (size < 2 * sections) {
        size *= 2;
    }
    std::vector<std::uint32_t> table(size, 0);
    const std::size_t mask = table.size() - 1;
    for (std::size_t n = 1; n <= sections_.size(); ++n) {
        std::size_t i = sections_[n - 1].hash & mask;
        while (table[i] != 0) {
            i = (i + 1) & mask;
        }
        table[i] = static_cast<std::uint32_t>(n);
    }
    slots_ = std::move(table);
}

const Document::Section* Document::FindSection(const QString& section) const {
    const QString folded = Folded(TrimSpaces(section));
    Scratch scratch;
    const std::uint32_t entry = slots_[Probe(NameHash(folded), folded, scratch)];
    return entry == 0 ? nullptr : &sections_[entry - 1];
}

template <typename Fn>
void Document::ForEachKeyLine(const Section& s, Scratch& scratch, Fn fn) const {
    const qsizetype end = LinesEnd();
    for (qsizetype pos = BodyBegin(s); pos < end;) {
        const Line line = LineAt(pos);
        pos = line.end;
        const QStringView trimmed = Trim(TextOf(line, scratch.line), IsLineBlank);
        if (trimmed.isEmpty() || trimmed.front() == u';') {
            continue;
        }
        if (trimmed.front() == u'[') {
            return;  // the next section, of any name
        }
        const qsizetype equals = trimmed.indexOf(u'=');
        if (equals < 0) {
            continue;
        }
        if (!fn(line, Trim(trimmed.first(equals), IsLineBlank), trimmed.sliced(equals + 1))) {
            return;
        }
    }
}

std::optional<Document::KeyLine> Document::FindKey(const Section& s, const QString& key) const {
    const QString wanted = Folded(TrimSpaces(key));
    Scratch scratch;
    std::optional<KeyLine> found;
    ForEachKeyLine(s, scratch, [&](const Line& line, QStringView name, QStringView rest) {
        if (FoldInto(name, scratch.name) != wanted) {
            return true;
        }
        found = KeyLine{line, name.toString(), Unquote(Trim(rest, IsValueBlank)).toString()};
        return false;
    });
    return found;
}

std::optional<QString> Document::Find(const QString& section, const QString& key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) {
        return std::nullopt;
    }
    std::optional<KeyLine> found = FindKey(*s, key);
    if (!found) {
        return std::nullopt;
    }
    return std::move(found->value);
}

bool Document::HasSection(const QString& section) const {
    return FindSection(section) != nullptr;
}

QByteArray Document::Encode(const QString& text) const {
    if (encoding_ == Encoding::Utf8) {
        return text.toUtf8();
    }
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        out[2 * i] = static_cast<char>(c & 0xFF);
        out[2 * i + 1] = static_cast<char>(c >> 8);
    }
    return out;
}

QByteArray Document::WithValue(const QString& section, const QString& key,
                               const QString& value) const {
    const QString sectionName = TrimSpaces(section);
    const QString keyName = TrimSpaces(key);
    const Section* s = FindSection(sectionName);
    if (s == nullptr) {
        QString text = endsWithLineBreak_ ? QString() : Crlf;
        text += u'[' + sectionName + u']' + Crlf + keyName + u'=' + value + Crlf;
        return ApplySplices(bytes_, {Splice{LinesEnd(), LinesEnd(), Encode(text)}});
    }
    if (const std::optional<KeyLine> found = FindKey(*s, keyName)) {
        const Line& line = found->line;
        return ApplySplices(
            bytes_, {Splice{line.begin, line.contentEnd, Encode(found->key + u'=' + value)}});
    }
    Line after = LineAt(s->header);
    Scratch scratch;
    ForEachKeyLine(*s, scratch, [&](const Line& line, QStringView, QStringView) {
        after = line;
        return true;
    });
    QString text = after.end > after.contentEnd ? QString() : Crlf;
    text += keyName + u'=' + value + Crlf;
    return ApplySplices(bytes_, {Splice{after.end, after.end, Encode(text)}});
}

bool Document::ReplaceValue(const QString& section, const QString& key, const QString& value) {
    for (QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            return false;  // a line break would split the line; leave the odd ones to Parse
        }
    }
    const Section* s = FindSection(section);
    const std::optional<KeyLine> found = s != nullptr ? FindKey(*s, key) : std::nullopt;
    if (!found) {
        return false;
    }
    // The same splice as WithValue: the key as the file spells it, then the new value. The
    // line stays a key line of the same key, so only the offsets behind it move.
    const Line& line = found->line;
    const QByteArray text = Encode(found->key + u'=' + value);
    const qsizetype delta = text.size() - (line.contentEnd - line.begin);
    bytes_.replace(line.begin, line.contentEnd - line.begin, text);
    if (delta != 0) {
        for (Section& each : sections_) {
            if (each.header > line.begin) {
                each.header += delta;
            }
        }
    }
    return true;
}

QByteArray Document::WithoutKey(const QString& section, const QString& key) const {
    const Section* s = FindSection(section);
    const std::optional<KeyLine> found = s != nullptr ? FindKey(*s, key) : std::nullopt;
    if (!found) {
        return bytes_;
    }
    return ApplySplices(bytes_, {Splice{found->line.begin, found->line.end, {}}});
}

QByteArray Document::WithoutSection(const QString& section) const {
    const Section* s = FindSection(section);
    if (s == nullptr) {
        return bytes_;
    }
    const Line header = LineAt(s->header);
    std::vector<Splice> cuts{Splice{header.begin, header.end, {}}};
    Scratch scratch;
    ForEachKeyLine(*s, scratch, [&](const Line& line, QStringView, QStringView) {
        cuts.push_back(Splice{line.begin, line.end, {}});
        return true;
    });
    return ApplySplices(bytes_, cuts);
}

}  // namespace platform::ini
