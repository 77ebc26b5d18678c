#include "platform/ini_document.h"

#include <QStringView>

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

QString Fold(QStringView name) {
    return name.toString().toCaseFolded();
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

    qsizetype pos = 0;
    qsizetype unit = 1;
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        doc.encoding_ = Encoding::Utf16Le;
        pos = 2;
        unit = 2;
        doc.tail_ = (size - 2) % 2;
    } else if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        pos = 3;
    }
    const qsizetype end = size - doc.tail_;
    const auto codeAt = [&](qsizetype at) -> char16_t {
        return unit == 1 ? char16_t(p[at]) : char16_t(p[at] | (p[at + 1] << 8));
    };

    int current = -1;  // index into sections_; lines before the first header belong nowhere
    while (pos < end) {
        Line line{pos, pos, pos};
        qsizetype at = pos;
        while (at < end && codeAt(at) != u'\r' && codeAt(at) != u'\n') {
            at += unit;
        }
        line.contentEnd = at;
        if (at < end) {
            const bool crlf = codeAt(at) == u'\r' && at + unit < end && codeAt(at + unit) == u'\n';
            at += crlf ? 2 * unit : unit;
        }
        line.end = at;
        pos = at;

        QString text;
        if (unit == 1) {
            text = QString::fromUtf8(doc.bytes_.constData() + line.begin,
                                     line.contentEnd - line.begin);
        } else {
            const qsizetype count = (line.contentEnd - line.begin) / 2;
            text.resize(count);
            for (qsizetype i = 0; i < count; ++i) {
                text[i] = QChar(codeAt(line.begin + 2 * i));
            }
        }
        const int lineIndex = static_cast<int>(doc.lines_.size());
        doc.lines_.push_back(line);

        const QStringView trimmed = Trim(QStringView(text), IsLineBlank);
        if (trimmed.isEmpty() || trimmed.front() == u';') {
            continue;
        }
        if (trimmed.front() == u'[') {
            QStringView name = trimmed.sliced(1);
            const qsizetype close = name.indexOf(u']');
            if (close >= 0) {
                name = name.first(close);
            }
            const QString folded = Fold(Trim(name, IsLineBlank));
            current = static_cast<int>(doc.sections_.size());
            doc.sections_.push_back(Section{lineIndex, lineIndex, {}, {}});
            if (!doc.firstSection_.contains(folded)) {
                doc.firstSection_.insert(folded, current);
            }
            continue;
        }
        const qsizetype equals = trimmed.indexOf(u'=');
        if (equals < 0 || current < 0) {
            continue;
        }
        Section& section = doc.sections_[current];
        section.keyLines.push_back(lineIndex);
        section.lastKeyLine = lineIndex;
        const QStringView key = Trim(trimmed.first(equals), IsLineBlank);
        const QString folded = Fold(key);
        if (!section.firstByKey.contains(folded)) {
            const QStringView value = Unquote(Trim(trimmed.sliced(equals + 1), IsValueBlank));
            section.firstByKey.insert(folded, Entry{lineIndex, key.toString(), value.toString()});
        }
    }
    return doc;
}

const Document::Section* Document::FindSection(const QString& section) const {
    const auto it = firstSection_.constFind(Fold(TrimSpaces(section)));
    return it == firstSection_.cend() ? nullptr : &sections_[*it];
}

const QString* Document::Find(const QString& section, const QString& key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) {
        return nullptr;
    }
    const auto it = s->firstByKey.constFind(Fold(TrimSpaces(key)));
    return it == s->firstByKey.cend() ? nullptr : &it->value;
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

bool Document::EndsWithLineBreak() const {
    return lines_.empty() || lines_.back().end > lines_.back().contentEnd;
}

QByteArray Document::WithValue(const QString& section, const QString& key,
                               const QString& value) const {
    const QString sectionName = TrimSpaces(section);
    const QString keyName = TrimSpaces(key);
    const Section* s = FindSection(sectionName);
    if (s == nullptr) {
        QString text = EndsWithLineBreak() ? QString() : Crlf;
        text += u'[' + sectionName + u']' + Crlf + keyName + u'=' + value + Crlf;
        return ApplySplices(bytes_, {Splice{LinesEnd(), LinesEnd(), Encode(text)}});
    }
    const auto it = s->firstByKey.constFind(Fold(keyName));
    if (it != s->firstByKey.cend()) {
        const Line& line = lines_[it->line];
        return ApplySplices(bytes_,
                            {Splice{line.begin, line.contentEnd, Encode(it->key + u'=' + value)}});
    }
    const Line& after = lines_[s->lastKeyLine];
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
    const auto found = firstSection_.constFind(Fold(TrimSpaces(section)));
    if (found == firstSection_.cend()) {
        return false;
    }
    Section& s = sections_[*found];
    const auto it = s.firstByKey.find(Fold(TrimSpaces(key)));
    if (it == s.firstByKey.end()) {
        return false;
    }
    // The same splice as WithValue: the key as the file spells it, then the new value.
    Line& line = lines_[it->line];
    const QByteArray text = Encode(it->key + u'=' + value);
    const qsizetype delta = text.size() - (line.contentEnd - line.begin);
    bytes_.replace(line.begin, line.contentEnd - line.begin, text);
    line.contentEnd += delta;
    line.end += delta;
    for (std::size_t i = static_cast<std::size_t>(it->line) + 1; i < lines_.size(); ++i) {
        lines_[i].begin += delta;
        lines_[i].contentEnd += delta;
        lines_[i].end += delta;
    }
    // Read back as Parse reads a key line: the key has no '=' and no blank at either end, so
    // the value is what follows the '=', trimmed and unquoted.
    it->value = Unquote(Trim(QStringView(value), IsValueBlank)).toString();
    return true;
}

QByteArray Document::WithoutKey(const QString& section, const QString& key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) {
        return bytes_;
    }
    const auto it = s->firstByKey.constFind(Fold(TrimSpaces(key)));
    if (it == s->firstByKey.cend()) {
        return bytes_;
    }
    const Line& line = lines_[it->line];
    return ApplySplices(bytes_, {Splice{line.begin, line.end, {}}});
}

QByteArray Document::WithoutSection(const QString& section) const {
    const Section* s = FindSection(section);
    if (s == nullptr) {
        return bytes_;
    }
    std::vector<Splice> cuts;
    cuts.reserve(s->keyLines.size() + 1);
    const Line& header = lines_[s->headerLine];
    cuts.push_back(Splice{header.begin, header.end, {}});
    for (int index : s->keyLines) {
        cuts.push_back(Splice{lines_[index].begin, lines_[index].end, {}});
    }
    return ApplySplices(bytes_, cuts);
}

}  // namespace platform::ini
