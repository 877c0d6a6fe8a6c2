// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/IniDocument.h"

#include <algorithm>
#include <utility>

#include "settings/SettingKeys.h"

namespace lumi::settings {

namespace {

constexpr std::string_view kByteOrderMark("\xEF\xBB\xBF");
constexpr std::string_view kReplacementCharacter("\xEF\xBF\xBD");
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr std::string_view kConfigSection("Config");

// The white space that surrounds keys, values and names: that of the C locale.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n';
}

std::string_view trimmedOfBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The length of the well-formed UTF-8 character at the start of `bytes`, 0 when there is
// none.
std::size_t characterLength(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const auto continues = [&](std::size_t i, unsigned char low, unsigned char high) {
        return i < bytes.size() && byte(i) >= low && byte(i) <= high;
    };
    if (bytes.empty()) {
        return 0;
    }
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return continues(1, 0x80, 0xBF) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        // No overlong form after E0, no surrogate after ED.
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return continues(1, low, high) && continues(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        // No overlong form after F0, nothing past U+10FFFF after F4.
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return continues(1, low, high) && continues(2, 0x80, 0xBF) && continues(3, 0x80, 0xBF)
                   ? 4
                   : 0;
    }
    return 0;
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

// `value` in lower-case hexadecimal digits, without leading zeros.
std::string hex(unsigned value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return digits;
}

void appendCodePoint(std::string& out, char32_t codePoint) {
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
        out += kReplacementCharacter;
    } else if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
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
void decodeEscape(std::string_view text, std::size_t& i, std::string& out) {
    const std::size_t size = text.size();
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
        std::size_t end = i + 1;
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
        std::size_t end = i;
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

}  // namespace

bool isUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t length = characterLength(bytes);
        if (length == 0) {
            return false;
        }
        bytes.remove_prefix(length);
    }
    return true;
}

std::string validUtf8(std::string_view bytes) {
    std::string text;
    while (!bytes.empty()) {
        const std::size_t length = characterLength(bytes);
        if (length == 0) {
            text += kReplacementCharacter;
            bytes.remove_prefix(1);
        } else {
            text += bytes.substr(0, length);
            bytes.remove_prefix(length);
        }
    }
    return text;
}

std::string decodeValue(std::string_view text) {
    std::string out;
    std::size_t significant = 0;  // the length of `out` without trailing white space
    bool quoted = false;
    std::size_t i = 0;
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
    out.resize(significant);
    // A value may begin with U+FEFF: it is a character of the value, not a byte-order mark.
    if (out.starts_with("@@")) {
        out.erase(0, 1);
    }
    return out;
}

std::string encodeValue(std::string_view value) {
    const std::string text = value.starts_with('@') ? "@" + std::string(value) : std::string(value);
    std::string out;
    bool needsQuotes = false;
    // After a numeric escape a hex digit would read as part of it, so it is escaped too.
    bool escapeHexDigit = false;
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == ';' || c == ',' || c == '=') {
            needsQuotes = true;
        }
        if (escapeHexDigit && c < 0x80 && hexDigitValue(byte) >= 0) {
            out += "\\x" + hex(c);
            continue;
        }
        escapeHexDigit = false;
        if (c == 0) {
            out += "\\0";
            escapeHexDigit = true;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += byte;
        } else if (c < 0x20) {
            static constexpr char kNames[] = "abtnvfr";  // the escapes of 7 to 13, in order
            if (c >= 7 && c <= 13) {
                out += '\\';
                out += kNames[c - 7];
            } else {
                out += "\\x" + hex(c);
                escapeHexDigit = true;
            }
        } else {
            out += byte;  // ASCII, or a byte of a UTF-8 character
        }
    }
    if (needsQuotes || out.starts_with(' ') || out.ends_with(' ')) {
        out = '"' + out + '"';
    }
    return out;
}

std::optional<IniDocument::Line> IniDocument::parseLine(std::string_view raw, bool& repaired) {
    if (raw.find('\0') != std::string_view::npos || !isUtf8(raw)) {
        return std::nullopt;
    }
    std::size_t begin = 0;
    std::size_t end = raw.size();
    // A byte-order mark at the start of a line counts as white space, wherever the line
    // stands: a line may come first in the file once a line before it is left out.
    while (begin < end && (isBlank(raw[begin]) || raw.substr(begin).starts_with(kByteOrderMark))) {
        begin += isBlank(raw[begin]) ? 1 : kByteOrderMark.size();
    }
    while (end > begin && isBlank(raw[end - 1])) {
        --end;
    }
    const std::string_view trimmed = raw.substr(begin, end - begin);
    Line line;
    line.text = std::string(raw);
    if (trimmed.empty()) {
        return line;
    }
    if (trimmed.front() == ';' || trimmed.front() == '#') {
        line.kind = Line::Kind::Comment;
        return line;
    }
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.find(']');
        const std::string_view name = trimmedOfBlanks(
            trimmed.substr(1, (close == std::string_view::npos ? trimmed.size() : close) - 1));
        if (name.empty()) {
            return std::nullopt;
        }
        const std::string_view after = close == std::string_view::npos
                                           ? std::string_view()
                                           : trimmedOfBlanks(trimmed.substr(close + 1));
        if (close == std::string_view::npos ||
            !(after.empty() || after.starts_with(';') || after.starts_with('#'))) {
            repaired = true;
            line.text = "[" + std::string(name) + "]";
        }
        line.kind = Line::Kind::Section;
        line.inConfig = sameKey(name, kConfigSection);
        return line;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == 0 || equals == std::string_view::npos) {
        return std::nullopt;
    }
    line.kind = Line::Kind::Entry;
    line.key = std::string(trimmedOfBlanks(trimmed.substr(0, equals)));
    line.value = decodeValue(trimmed.substr(equals + 1));
    return line;
}

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument document;
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    bool inConfig = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            ++end;
        }
        bool repaired = false;
        std::optional<Line> line = parseLine(bytes.substr(start, end - start), repaired);
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

int IniDocument::lastConfigEntryOf(std::string_view key) const {
    for (int i = static_cast<int>(lines_.size()) - 1; i >= 0; --i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        if (line.kind == Line::Kind::Entry && line.inConfig && sameKey(line.key, key)) {
            return i;
        }
    }
    return -1;
}

std::optional<std::string> IniDocument::value(std::string_view key) const {
    const int index = lastConfigEntryOf(key);
    if (index < 0) {
        return std::nullopt;
    }
    return lines_[static_cast<std::size_t>(index)].value;
}

std::vector<std::pair<std::string, std::string>> IniDocument::values() const {
    std::vector<std::pair<std::string, std::string>> result;
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

bool IniDocument::isStorableKey(std::string_view key) {
    if (key.empty() || !isUtf8(key)) {
        return false;
    }
    if (key.front() == '[' || key.front() == ';' || key.front() == '#' ||
        key.starts_with(kByteOrderMark)) {
        return false;
    }
    if (isBlank(key.front()) || isBlank(key.back())) {
        return false;
    }
    return key.find_first_of(std::string_view("=\r\n\0", 4)) == std::string_view::npos;
}

void IniDocument::setValue(std::string_view key, std::string_view value) {
    Line entry;
    entry.kind = Line::Kind::Entry;
    entry.inConfig = true;
    entry.key = std::string(key);
    entry.value = validUtf8(value);
    entry.text = entry.key + "=" + encodeValue(entry.value);
    const int last = lastConfigEntryOf(key);
    if (last >= 0) {
        lines_[static_cast<std::size_t>(last)] = std::move(entry);
        // Earlier lines of the same key would only hide behind the new one; they go.
        for (int i = last - 1; i >= 0; --i) {
            const Line& line = lines_[static_cast<std::size_t>(i)];
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
        header.text = "[" + std::string(kConfigSection) + "]";
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

std::string IniDocument::toBytes() const {
    std::string bytes;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += '\n';
    }
    return bytes;
}

}  // namespace lumi::settings
