// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/settings/IniDocument.h"

#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace lumi::settings {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
constexpr char32_t kLastCodePoint = 0x10FFFF;

QLatin1StringView configSectionName() {
    return QLatin1StringView("Config");
}

// The white space that surrounds keys, values and names: that of the C locale.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n';
}

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isHexDigit(char16_t c) {
    return c < 0x80 && hexDigitValue(static_cast<char>(c)) >= 0;
}

void appendCodePoint(QByteArray& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
        return;
    }
    const char32_t text[] = {codePoint};
    out += QString::fromUcs4(text, 1).toUtf8();
}

// The character that a backslash and `c` stand for, or 0 when `c` names no escape.
char namedEscape(char c) {
    switch (c) {
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        case '"':
        case '\'':
        case '?':
        case '\\':
            return c;
        default:
            return 0;
    }
}

// Reads the escape whose backslash stands at `text[i - 1]`; on return `i` is past it.
// Appends what it stands for to `out`.
void decodeEscape(QByteArrayView text, qsizetype& i, QByteArray& out) {
    const qsizetype size = text.size();
    if (i >= size) {
        out += '\\';
        return;
    }
    const char c = text[i];
    if (const char named = namedEscape(c)) {
        out += named;
        ++i;
        return;
    }
    if (c == 'x') {
        char32_t codePoint = 0;
        qsizetype end = i + 1;
        while (end < size && hexDigitValue(text[end]) >= 0) {
            const char32_t next = codePoint * 16 + static_cast<char32_t>(hexDigitValue(text[end]));
            if (next > kLastCodePoint) {
                break;
            }
            codePoint = next;
            ++end;
        }
        if (end == i + 1) {
            out += '\\';  // "\x" without digits stands for itself
            return;
        }
        appendCodePoint(out, codePoint);
        i = end;
        return;
    }
    if (c >= '0' && c <= '7') {
        char32_t codePoint = 0;
        qsizetype end = i;
        while (end < size && end < i + 3 && text[end] >= '0' && text[end] <= '7') {
            codePoint = codePoint * 8 + static_cast<char32_t>(text[end] - '0');
            ++end;
        }
        appendCodePoint(out, codePoint);
        i = end;
        return;
    }
    out += '\\';  // before any other character the backslash stands for itself
}

bool sameKey(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString decodeValue(QByteArrayView text) {
    QByteArray out;
    qsizetype significant = 0;  // the length of `out` without trailing white space
    bool quoted = false;
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    while (i < text.size()) {
        const char c = text[i++];
        if (c == '"') {
            quoted = !quoted;
            significant = out.size();
        } else if (c == ';' && !quoted) {
            break;
        } else if (c == '\\') {
            decodeEscape(text, i, out);
            significant = out.size();
        } else {
            out += c;
            if (quoted || !isBlank(c)) {
                significant = out.size();
            }
        }
    }
    out.truncate(significant);
    // A value may begin with U+FEFF, which QString::fromUtf8() would take for a byte-order mark.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString value = decoder.decode(out);
    if (value.startsWith(QLatin1StringView("@@"))) {
        value.remove(0, 1);
    }
    return value;
}

QByteArray encodeValue(const QString& value) {
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray out;
    bool needsQuotes = false;
    // After a numeric escape a hex digit would read as part of it, so it is escaped too.
    bool escapeHexDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u';' || c == u',' || c == u'=') {
            needsQuotes = true;
        }
        if (escapeHexDigit && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        if (c == 0) {
            out += "\\0";
            escapeHexDigit = true;
        } else if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static constexpr char kNames[] = "abtnvfr";  // the escapes of 7 to 13, in order
            if (c >= 7 && c <= 13) {
                out += '\\';
                out += kNames[c - 7];
            } else {
                out += "\\x" + QByteArray::number(c, 16);
                escapeHexDigit = true;
            }
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const bool pair =
                QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            out += QStringView(text).sliced(i, pair ? 2 : 1).toUtf8();
            i += pair ? 1 : 0;
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' ')) {
        out = '"' + out + '"';
    }
    return out;
}

std::optional<IniDocument::Line> IniDocument::parseLine(QByteArrayView raw, bool& repaired) {
    if (raw.contains('\0') || !isUtf8(raw)) {
        return std::nullopt;
    }
    qsizetype begin = 0;
    qsizetype end = raw.size();
    // A byte-order mark at the start of a line counts as white space, wherever the line
    // stands: a line may come first in the file once a line before it is left out.
    while (begin < end && (isBlank(raw[begin]) || raw.sliced(begin).startsWith(kByteOrderMark))) {
        begin += isBlank(raw[begin]) ? 1 : kByteOrderMark.size();
    }
    while (end > begin && isBlank(raw[end - 1])) {
        --end;
    }
    const QByteArrayView trimmed = raw.sliced(begin, end - begin);
    Line line;
    line.text = raw.toByteArray();
    if (trimmed.isEmpty()) {
        return line;
    }
    if (trimmed.front() == ';' || trimmed.front() == '#') {
        line.kind = Line::Kind::Comment;
        return line;
    }
    if (trimmed.front() == '[') {
        const qsizetype close = trimmed.indexOf(']');
        const QByteArray name =
            trimmed.sliced(1, (close < 0 ? trimmed.size() : close) - 1).toByteArray().trimmed();
        if (name.isEmpty()) {
            return std::nullopt;
        }
        const QByteArray after =
            close < 0 ? QByteArray() : trimmed.sliced(close + 1).toByteArray().trimmed();
        if (close < 0 || !(after.isEmpty() || after.startsWith(';') || after.startsWith('#'))) {
            repaired = true;
            line.text = '[' + name + ']';
        }
        line.kind = Line::Kind::Section;
        line.inConfig =
            QString::fromUtf8(name).compare(configSectionName(), Qt::CaseInsensitive) == 0;
        return line;
    }
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0) {
        return std::nullopt;
    }
    line.kind = Line::Kind::Entry;
    line.key = QString::fromUtf8(trimmed.first(equals).toByteArray().trimmed());
    line.value = decodeValue(trimmed.sliced(equals + 1));
    return line;
}

IniDocument IniDocument::parse(QByteArrayView bytes) {
    IniDocument document;
    if (bytes.startsWith(kByteOrderMark)) {
        bytes = bytes.sliced(kByteOrderMark.size());
    }
    bool inConfig = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            ++end;
        }
        bool repaired = false;
        std::optional<Line> line = parseLine(bytes.sliced(start, end - start), repaired);
        start = end + 1;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') {
            ++start;
        }
        document.damaged_ = document.damaged_ || repaired || !line;
        if (!line) {
            continue;
        }
        if (line->kind == Line::Kind::Section) {
            inConfig = line->inConfig;
        } else {
            line->inConfig = inConfig;
        }
        document.lines_.push_back(std::move(*line));
    }
    return document;
}

int IniDocument::lastConfigEntryOf(QStringView key) const {
    for (int i = static_cast<int>(lines_.size()) - 1; i >= 0; --i) {
        const Line& line = lines_[static_cast<size_t>(i)];
        if (line.kind == Line::Kind::Entry && line.inConfig && sameKey(line.key, key)) {
            return i;
        }
    }
    return -1;
}

std::optional<QString> IniDocument::value(QStringView key) const {
    const int index = lastConfigEntryOf(key);
    if (index < 0) {
        return std::nullopt;
    }
    return lines_[static_cast<size_t>(index)].value;
}

std::vector<std::pair<QString, QString>> IniDocument::values() const {
    std::vector<std::pair<QString, QString>> result;
    for (const Line& line : lines_) {
        if (line.kind != Line::Kind::Entry || !line.inConfig) {
            continue;
        }
        const auto known = std::find_if(result.begin(), result.end(), [&](const auto& entry) {
            return sameKey(entry.first, line.key);
        });
        if (known == result.end()) {
            result.emplace_back(line.key, line.value);
        } else {
            *known = {line.key, line.value};
        }
    }
    return result;
}

bool IniDocument::isStorableKey(QStringView key) {
    if (key.isEmpty() || !key.isValidUtf16()) {
        return false;
    }
    if (key.front() == u'[' || key.front() == u';' || key.front() == u'#' ||
        key.front() == QChar::ByteOrderMark) {
        return false;
    }
    const auto blank = [](QChar c) {
        return c.unicode() < 0x80 && isBlank(static_cast<char>(c.unicode()));
    };
    if (blank(key.front()) || blank(key.back())) {
        return false;
    }
    return !key.contains(u'=') && !key.contains(u'\r') && !key.contains(u'\n') &&
           !key.contains(QChar(0));
}

void IniDocument::setValue(QStringView key, const QString& value) {
    Line entry;
    entry.kind = Line::Kind::Entry;
    entry.inConfig = true;
    entry.key = key.toString();
    entry.value = value;
    entry.text = key.toUtf8() + '=' + encodeValue(value);

    const int last = lastConfigEntryOf(key);
    if (last >= 0) {
        lines_[static_cast<size_t>(last)] = std::move(entry);
        // Earlier lines of the same key would only hide behind the new one; they go.
        for (int i = last - 1; i >= 0; --i) {
            const Line& line = lines_[static_cast<size_t>(i)];
            if (line.kind == Line::Kind::Entry && line.inConfig && sameKey(line.key, key)) {
                lines_.erase(lines_.begin() + i);
            }
        }
        return;
    }

    const auto lastSection = std::find_if(lines_.rbegin(), lines_.rend(), [](const Line& line) {
        return line.kind == Line::Kind::Section && line.inConfig;
    });
    if (lastSection == lines_.rend()) {
        if (!lines_.empty() && lines_.back().kind != Line::Kind::Blank) {
            lines_.push_back(Line{});
        }
        Line header;
        header.kind = Line::Kind::Section;
        header.inConfig = true;
        header.text = '[' + QByteArray(configSectionName().data()) + ']';
        lines_.push_back(std::move(header));
        lines_.push_back(std::move(entry));
        return;
    }
    // After the section's last value, so that blank lines and comments before the next
    // section stay where they are.
    auto position = lastSection.base();  // just after the header
    for (auto it = position; it != lines_.end() && it->kind != Line::Kind::Section; ++it) {
        if (it->kind == Line::Kind::Entry) {
            position = it + 1;
        }
    }
    lines_.insert(position, std::move(entry));
}

QByteArray IniDocument::toBytes() const {
    QByteArray bytes;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += '\n';
    }
    return bytes;
}

}  // namespace lumi::settings
