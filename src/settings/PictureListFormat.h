// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The bytes of the picture list "List.txt": the pictures that the Setup dialog chose and the
// display shows, one entry per line, in the order in which they show. Entries are the bytes
// of file names: UTF-8, or a name's own bytes where it is not UTF-8 (a name written in
// Latin-1), kept byte for byte. Each edition reads and writes the file with these rules, so
// that the display and the Setup dialog agree on its bytes.
namespace lumi::settings {

// The most entries that a reader takes from the file.
inline constexpr int kMaxPictureListEntries = 32767;

// The entries of the list file `bytes`. Any bytes read as some list. The rule, per entry:
//   1. the end of the file is tested first; reading stops there;
//   2. spaces and tabs before the entry are skipped;
//   3. an entry that starts with a double quote runs to the next double quote (or the end of
//      the file), which may lie on a later line; the quotes are dropped, and whatever stands
//      between the closing quote and the next comma or line end is skipped;
//   4. any other entry runs to the next comma or line end; its trailing spaces and tabs are
//      dropped;
//   5. the comma or line end (CR, LF or CR LF) that ends the entry is consumed, so that an
//      empty line gives an empty entry.
// At most kMaxPictureListEntries entries are taken.
std::vector<std::string> parsePictureList(std::string_view bytes);

// True when the file format can hold `entry` unchanged: it holds no double quote, CR or LF,
// which would end the entry early.
bool fitsPictureList(std::string_view entry);

// The list file of `entries`, each of which must fit: every entry between double quotes and
// followed by CR LF; no entries make an empty file.
std::string formatPictureList(const std::vector<std::string>& entries);

}  // namespace lumi::settings
