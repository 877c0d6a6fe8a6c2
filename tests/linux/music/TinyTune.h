// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace lumi::testing {

// The small General MIDI SoundFont of the system's sound fonts package; it loads in a blink.
inline constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// How long one note of tinyTune() lasts.
inline constexpr double kTinyNoteSeconds = 0.4;

// A Standard MIDI File (format 0, 96 ticks a quarter note, 150 beats a minute) of `notes`
// quarter notes on the piano, one after the other, so that it lasts notes * 0.4 s.
inline QByteArray tinyTune(int notes) {
    QByteArray track;
    track.append("\x00\xFF\x51\x03\x06\x1A\x80", 7);  // tempo: 400000 us a quarter note
    track.append("\x00\xC0\x00", 3);                  // program: acoustic grand piano
    for (int i = 0; i < notes; ++i) {
        const char key = static_cast<char>(60 + 2 * (i % 6));
        track.append('\x00').append('\x90').append(key).append('\x64');  // note on at once
        track.append('\x60').append('\x80').append(key).append('\x40');  // off 96 ticks later
    }
    track.append("\x00\xFF\x2F\x00", 4);  // end of track

    QByteArray file("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk", 18);
    const auto length = static_cast<quint32>(track.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.append(static_cast<char>((length >> shift) & 0xFF));
    }
    return file + track;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace lumi::testing
