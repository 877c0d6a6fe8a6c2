// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lumi::setup {

// The selection string: what the open-file dialog hands back to the Setup dialog, in the
// bytes of the names (UTF-8, or a file name's own bytes where it is not UTF-8).
//   - nothing chosen (cancelled): the empty string;
//   - one file: its full path, with no NUL character;
//   - several files: the folder they were chosen in, then for each file one NUL character
//     and the file's name: folder NUL name1 NUL name2 ... nameN, with no NUL at the end;
//   - several files from more than one folder (typed as full paths into the dialog): the
//     empty folder, then for each file one NUL character and its full path, so that every
//     file keeps its own folder: NUL path1 NUL path2 ... pathN.
// The picture list editor and the background picture button read it with CountFiles() and
// GetFilePath(); each edition's dialog builds it.

// The separator of the names in the folder `folder`: a backslash when it holds a backslash and
// no slash (a folder written the Windows way, "D:\Pics"), else a slash.
char separatorOf(std::string_view folder);

// The number of files in `selection`: the number of NUL characters, or 1 when there is none
// (so a single path, and also the empty string, count as one file).
int CountFiles(std::string_view selection);

// The full path of file `n` (counted from 1) of `selection`. A selection without NUL is
// returned unchanged, and so is the n-th name after an empty folder (a full path). Otherwise
// the result is the folder, a separator unless the folder
// already ends in one (a root folder such as "C:\" or "/"), and the n-th name, with the
// folder's own separatorOf(). An `n` outside 1..N yields
// the folder and its separator with no name.
std::string GetFilePath(std::string_view selection, int n);

}  // namespace lumi::setup
