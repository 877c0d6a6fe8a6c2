// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PictureListFormat.h"

namespace lumi::settings {

namespace {

// Reads one entry per call, following the rule documented at parsePictureList(). Every
// character that the rule looks at is ASCII, and no byte of a multi-byte UTF-8 character is,
// so the bytes are read as they stand.
class EntryScanner {
public:
    explicit EntryScanner(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    std::string next() {
        while (!atEnd() && isBlank(text_[pos_])) {
            ++pos_;
        }
        std::string entry = !atEnd() && text_[pos_] == '"' ? quotedEntry() : unquotedEntry();
        skipDelimiter();
        return entry;
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
    bool atDelimiter() const { return text_[pos_] == ',' || isLineEnd(text_[pos_]); }

    std::string quotedEntry() {
        const std::size_t start = ++pos_;  // after the opening quote
        const std::size_t close = std::min(text_.find('"', start), text_.size());
        pos_ = close;
        std::string entry(text_.substr(start, close - start));
        if (!atEnd()) {
            ++pos_;  // the closing quote
        }
        while (!atEnd() && !atDelimiter()) {
            ++pos_;
        }
        return entry;
    }

    std::string unquotedEntry() {
        const std::size_t start = pos_;
        while (!atEnd() && !atDelimiter()) {
            ++pos_;
        }
        std::size_t end = pos_;
        while (end > start && isBlank(text_[end - 1])) {
            --end;
        }
        return std::string(text_.substr(start, end - start));
    }

    void skipDelimiter() {
        if (atEnd()) {
            return;
        }
        const bool carriageReturn = text_[pos_] == '\r';
        ++pos_;
        if (carriageReturn && !atEnd() && text_[pos_] == '\n') {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<std::string> parsePictureList(std::string_view bytes) {
    std::vector<std::string> entries;
    EntryScanner scanner(bytes);
    while (!scanner.atEnd() && entries.size() < kMaxPictureListEntries) {
        entries.push_back(scanner.next());
    }
    return entries;
}

bool fitsPictureList(std::string_view entry) {
    return entry.find_first_of("\"\r\n") == std::string_view::npos;
}

std::string formatPictureList(const std::vector<std::string>& entries) {
    std::string bytes;
    for (const std::string& entry : entries) {
        bytes.append(1, '"').append(entry).append("\"\r\n");
    }
    return bytes;
}

}  // namespace lumi::settings
