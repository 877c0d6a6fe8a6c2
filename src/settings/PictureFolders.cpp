// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PictureFolders.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <set>

namespace lumi::settings {
namespace {

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A code point of a file name and the number of bytes it takes.
struct CodePoint {
    char32_t value = 0;
    std::size_t length = 1;
};

// The code point that starts at `at` in `text`: a valid UTF-8 sequence (no overlong form, no
// surrogate, nothing above U+10FFFF) as its value, any other byte alone as U+DC00 + byte.
CodePoint codePointAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const CodePoint stray{0xDC00u + lead, 1};
    if (lead < 0x80) {
        return {lead, 1};
    }
    const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size()) {
        return stray;
    }
    char32_t value = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) {
            return stray;
        }
        value = (value << 6) | (next & 0x3F);
    }
    const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return stray;
    }
    return {value, length};
}

// Pairs of upper and lower case that stand side by side, upper first on even code points
// (`upperOdd` false) or on odd ones.
bool inPairs(char32_t c, char32_t first, char32_t last, bool upperOdd) {
    return c >= first && c <= last && ((c & 1) != 0) == upperOdd;
}

// The simple case folding of `c` for the scripts that naturalLess() folds.
char32_t foldCase(char32_t c) {
    if (c < 0x80) {
        return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    }
    // Latin-1 Supplement and Latin Extended-A.
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    if (c == 0xB5) {
        return 0x3BC;  // micro sign: Greek mu
    }
    if (inPairs(c, 0x100, 0x12F, false) || inPairs(c, 0x132, 0x137, false) ||
        inPairs(c, 0x139, 0x148, true) || inPairs(c, 0x14A, 0x177, false) ||
        inPairs(c, 0x179, 0x17E, true)) {
        return c + 1;
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if (c == 0x17F) {
        return 's';  // long s
    }
    // Greek and Coptic.
    if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2)) {
        return c + 0x20;
    }
    switch (c) {
        case 0x345:
            return 0x3B9;
        case 0x37F:
            return 0x3F3;
        case 0x386:
            return 0x3AC;
        case 0x388:
        case 0x389:
        case 0x38A:
            return c + 0x25;
        case 0x38C:
            return 0x3CC;
        case 0x38E:
        case 0x38F:
            return c + 0x3F;
        case 0x3C2:
            return 0x3C3;  // final sigma
        case 0x3CF:
            return 0x3D7;
        case 0x3D0:
            return 0x3B2;
        case 0x3D1:
            return 0x3B8;
        case 0x3D5:
            return 0x3C6;
        case 0x3D6:
            return 0x3C0;
        case 0x3F0:
            return 0x3BA;
        case 0x3F1:
            return 0x3C1;
        case 0x3F4:
            return 0x3B8;
        case 0x3F5:
            return 0x3B5;
        case 0x3F9:
            return 0x3F2;
        case 0x3FD:
        case 0x3FE:
        case 0x3FF:
            return c - 0x82;
        case 0x4C0:
            return 0x4CF;
        default:
            break;
    }
    if (inPairs(c, 0x370, 0x373, false) || c == 0x376 || inPairs(c, 0x3D8, 0x3EF, false) ||
        c == 0x3F7 || c == 0x3FA) {
        return c + 1;
    }
    // Cyrillic and Cyrillic Supplement.
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 0x20;
    }
    if (inPairs(c, 0x460, 0x481, false) || inPairs(c, 0x48A, 0x4BF, false) ||
        inPairs(c, 0x4C1, 0x4CE, true) || inPairs(c, 0x4D0, 0x52F, false)) {
        return c + 1;
    }
    return c;
}

// The run of digits of `text` that starts at `start`: where it ends, and where its first
// significant digit stands (the end itself for a run of zeros).
struct DigitRun {
    std::size_t end = 0;
    std::size_t significant = 0;
};

DigitRun digitRun(std::string_view text, std::size_t start) {
    DigitRun run{start, start};
    while (run.end < text.size() && isAsciiDigit(text[run.end])) {
        ++run.end;
    }
    while (run.significant < run.end && text[run.significant] == '0') {
        ++run.significant;
    }
    return run;
}

// One entry of a folder being read: a picture or a subfolder.
struct Child {
    std::string name;
    bool folder = false;
};

// Appends to `out` the pictures under the folder `path`, unless its identity is in `visited`.
void collectPictures(const std::string& path, const platform::FolderReader& reader,
                     std::span<const std::string> extensions,
                     std::set<platform::FolderIdentity>& visited, std::vector<std::string>& out) {
    const std::optional<platform::FolderIdentity> identity = reader.identify(path);
    if (!identity || !visited.insert(*identity).second) {
        return;
    }
    std::vector<Child> children;
    reader.list(path, [&](const platform::FolderEntry& entry) {
        if (entry.hidden || entry.name.empty() || entry.name.front() == '.') {
            return;
        }
        if (entry.folder || hasPictureExtension(entry.name, extensions)) {
            children.push_back({std::string(entry.name), entry.folder});
        }
    });
    std::sort(children.begin(), children.end(),
              [](const Child& a, const Child& b) { return naturalLess(a.name, b.name); });
    for (const Child& child : children) {
        if (child.folder) {
            collectPictures(reader.join(path, child.name), reader, extensions, visited, out);
        } else {
            out.push_back(reader.join(path, child.name));
        }
    }
}

}  // namespace

bool naturalLess(std::string_view left, std::string_view right) {
    std::size_t i = 0;
    std::size_t j = 0;
    int zerosTieBreak = 0;  // < 0: left has fewer leading zeros at the first difference
    while (i < left.size() && j < right.size()) {
        if (isAsciiDigit(left[i]) && isAsciiDigit(right[j])) {
            const DigitRun a = digitRun(left, i);
            const DigitRun b = digitRun(right, j);
            const std::size_t lengthA = a.end - a.significant;
            const std::size_t lengthB = b.end - b.significant;
            if (lengthA != lengthB) {
                return lengthA < lengthB;
            }
            const int digits =
                left.substr(a.significant, lengthA).compare(right.substr(b.significant, lengthB));
            if (digits != 0) {
                return digits < 0;
            }
            if (zerosTieBreak == 0 && a.significant - i != b.significant - j) {
                zerosTieBreak = (a.significant - i) < (b.significant - j) ? -1 : 1;
            }
            i = a.end;
            j = b.end;
            continue;
        }
        const CodePoint a = codePointAt(left, i);
        const CodePoint b = codePointAt(right, j);
        const char32_t foldedA = foldCase(a.value);
        const char32_t foldedB = foldCase(b.value);
        if (foldedA != foldedB) {
            return foldedA < foldedB;
        }
        i += a.length;
        j += b.length;
    }
    if (i < left.size() || j < right.size()) {
        return j < right.size();  // the name that ran out first comes first
    }
    if (zerosTieBreak != 0) {
        return zerosTieBreak < 0;
    }
    return left < right;
}

bool hasPictureExtension(std::string_view name, std::span<const std::string> extensions) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) {
        return false;
    }
    const std::string_view extension = name.substr(dot + 1);
    return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& known) {
        return known.size() == extension.size() &&
               std::equal(known.begin(), known.end(), extension.begin(),
                          [](char k, char e) { return k == asciiLower(e); });
    });
}

bool isFolderEntry(const std::string& entry, const platform::FolderReader& reader) {
    return !entry.empty() && reader.identify(entry).has_value();
}

std::vector<std::string> expandFolder(const std::string& folder,
                                      const platform::FolderReader& reader,
                                      std::span<const std::string> extensions) {
    std::vector<std::string> pictures;
    if (folder.empty()) {
        return pictures;
    }
    std::set<platform::FolderIdentity> visited;
    collectPictures(folder, reader, extensions, visited, pictures);
    return pictures;
}

std::vector<std::string> expandPictureList(const std::vector<std::string>& entries,
                                           const platform::FolderReader& reader,
                                           std::span<const std::string> extensions) {
    std::vector<std::string> expanded;
    for (const std::string& entry : entries) {
        std::vector<std::string> pictures = expandFolder(entry, reader, extensions);
        if (pictures.empty()) {
            expanded.push_back(entry);
            continue;
        }
        expanded.insert(expanded.end(), std::make_move_iterator(pictures.begin()),
                        std::make_move_iterator(pictures.end()));
    }
    return expanded;
}

}  // namespace lumi::settings
