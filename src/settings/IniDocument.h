// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumi::settings {

// The text of the settings file, read line by line and written back with the least change:
// a write replaces or adds one line and leaves every other line as it stood, comments and
// other sections included.
//
// Any bytes parse. The rules, for each line (CR LF, LF and CR all end a line; a UTF-8
// byte-order mark before the first line is skipped):
//   - blank (white space only, form feeds and vertical tabs included): kept;
//   - a comment, whose first character other than white space is ";" or "#": kept;
//   - a section header "[name]": the name, with surrounding white space removed, is compared
//     without regard to ASCII case; the values of this application live in every section
//     named "Config";
//   - "key=value": the key is the text before the first "=", without its surrounding white
//     space, and may hold any other character; the value is decoded by decodeValue(). Keys
//     are compared without regard to ASCII case, and of several lines with the same key in the
//     "Config" sections the last one counts. Lines before the first header belong to no
//     section.
// A line that is none of these (no "=", an empty key, a header without a name), or that is
// not UTF-8 text or holds a NUL byte, cannot be read: it is left out, and the document is
// damaged(). A header that lacks its closing bracket, or has text after it, is read as the
// plain header of its name and also makes the document damaged(), since writing it back
// changes the line. Keys and values are UTF-8 text.
class IniDocument {
public:
    static IniDocument parse(std::string_view bytes);

    // The value stored under `key` in the "Config" sections, or nullopt when there is none.
    std::optional<std::string> value(std::string_view key) const;

    // Every key of the "Config" sections with its value, in the order of first appearance,
    // one entry per key (compared without regard to case; the spelling of the last line).
    std::vector<std::pair<std::string, std::string>> values() const;

    // True when some line could not be read or had to be repaired, so that toBytes() does
    // not hold everything that the parsed bytes held.
    bool damaged() const { return damaged_; }

    // True when `key` can be stored: UTF-8 text, not empty, without "=", CR, LF or NUL,
    // without white space around it, and not starting with "[", ";", "#" or U+FEFF.
    static bool isStorableKey(std::string_view key);

    // Stores `value` under `key`, which must be isStorableKey(): the last line of the key in
    // the "Config" sections becomes "key=value" in the caller's spelling and every earlier
    // one goes. A new key goes after the last value line of the last "Config" section, or
    // into a new "[Config]" section at the end. A byte of `value` that is not UTF-8 is
    // stored as U+FFFD.
    void setValue(std::string_view key, std::string_view value);

    // The document as UTF-8 text: every line that was read, each ended by LF, without the
    // byte-order mark and the lines that could not be read.
    std::string toBytes() const;

private:
    struct Line {
        enum class Kind { Blank, Comment, Section, Entry };
        Kind kind = Kind::Blank;
        std::string text;       // the line as it is written back, without its line end
        bool inConfig = false;  // a section named "Config", or a line inside one
        std::string key;        // entries only
        std::string value;      // entries only, decoded
    };

    static std::optional<Line> parseLine(std::string_view raw, bool& repaired);
    int lastConfigEntryOf(std::string_view key) const;

    std::vector<Line> lines_;
    bool damaged_ = false;
};

// The value text of a "key=value" line as the program reads it: surrounding white space is
// removed; text in double quotes is taken as it stands (so that a value may begin or end
// with a space or hold ";"); outside quotes, ";" begins a comment that runs to the end of the
// line; a backslash escapes the next character (\\ \" \' \? \a \b \f \n \r \t \v, \x and hex
// digits, \ and up to three octal digits; before any other character, or at the end, it
// stands for itself); a value that begins with "@@" stands for one that begins with "@". An
// escape of a code point that is no character (a surrogate) stands for U+FFFD.
std::string decodeValue(std::string_view text);

// The text that decodeValue() reads back as `value` (UTF-8), in the form that earlier
// versions of the program wrote: special characters escaped, and the whole value in double
// quotes when it holds ";", "," or "=" or begins or ends with a space.
std::string encodeValue(std::string_view value);

// True when `bytes` are well-formed UTF-8 (no overlong form, surrogate or code point past
// U+10FFFF).
bool isUtf8(std::string_view bytes);

// `bytes` with every byte that begins no well-formed UTF-8 character replaced by U+FFFD.
std::string validUtf8(std::string_view bytes);

}  // namespace lumi::settings
