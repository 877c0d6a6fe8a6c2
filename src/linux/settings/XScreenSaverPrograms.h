// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace lumi::settings {

// XScreenSaver's per-user file ~/.xscreensaver and its list of savers, the resource
// "programs". XScreenSaver merges the savers of its system-wide defaults into each user's list
// by itself; a saver from another package enters the list through the user's file. Setup's
// "Add Lumiscribe to XScreenSaver" button and `lumiscribe-xscreensaver --add-to-xscreensaver`
// both add it through addToXScreenSaver(), so that they write the same bytes.
//
// The file, as XScreenSaver writes and reads it: lines "name: value"; a line whose last
// character is a backslash (an odd number of them) continues on the next line; lines that
// begin with "#" or "!" are comments. The value of "programs" holds one saver per "\n" (the two
// characters backslash and n), each "[-] [visual:] ["label"] command [arguments]"; a leading
// dash switches the saver off without taking it out of the list.

// The program that saves the screen for Lumiscribe, as an entry names it.
inline constexpr char kHostedDisplayProgram[] = "lumiscribe-xscreensaver";

// The entry that lists Lumiscribe, without leading blanks or the closing "\n": its label and
// `command` (the program's name, or its absolute path) with "--root". `command` is quoted for
// the shell where it needs it; nothing when it holds a character that an entry cannot carry
// (a backslash, a quote of both kinds, a control character).
std::optional<QByteArray> lumiscribeEntry(const QString& command);

// True when the "programs" resource of `file` holds an entry, switched on or off, whose
// command is `program`: the first word, compared by its file name, so that a full path
// counts as well.
bool listsProgram(const QByteArray& file, const QByteArray& program);

// `file` with `entry` in its "programs" resource, every line of `file` byte for byte. The entry
// takes a line of its own, "  <entry> \n" with a continuing backslash where more follows,
// written with the line end of the line before it:
//   - right after the "programs:" line when that line continues and its own part of the value
//     is empty or ends with "\n" (how XScreenSaver writes the file): no line changes;
//   - otherwise after the last line of the value, which gets the continuing backslash (and a
//     "\n" first when its entry lacks one);
//   - without a "programs" resource, as a new resource "programs:" at the end of the file (the
//     last line gets a line end first when it has none, and an empty line follows a last line
//     that continues).
QByteArray withProgramEntry(const QByteArray& file, const QByteArray& entry);

// What addToXScreenSaver() did.
struct XScreenSaverListing {
    enum class Outcome {
        Added,          // the entry was added to the existing file; a copy of it was kept first
        Created,        // there was no file; one holding only the entry was made
        AlreadyListed,  // the file lists the saver already; nothing was written
        Failed,         // see `error`; the file keeps its bytes
    };
    Outcome outcome = Outcome::Failed;
    QString filePath;
    QString backupPath;  // Added: where the file's previous bytes are kept
    QString error;       // Failed: the reason, naming the file
};

// Adds the entry for `command` to the XScreenSaver file at `filePath`, as withProgramEntry()
// puts it. Before the file is changed its bytes are kept in "<file>.lumiscribe-backup"; a
// backup holding other bytes is never overwritten: the next free name "<file>.lumiscribe-
// backup.2" (then .3, and so on) takes the copy. The file is replaced as a whole (through a
// symbolic link, its target), keeping its permissions, so that XScreenSaver, which re-reads it
// when it changes, never sees half a file. A missing file is created; nothing happens when the
// saver is listed already. When the backup or the file cannot be written, the file keeps its
// bytes. A `command` given as a path must name an executable file: an entry that XScreenSaver
// could not start is never written.
XScreenSaverListing addToXScreenSaver(const QString& filePath, const QString& command);

// The text that tells the user what `listing` means, for a message box or a terminal.
QString listingMessage(const XScreenSaverListing& listing);

}  // namespace lumi::settings
