// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <bitset>

namespace lumi::music {

// The MIDI channels (0 to 15) of the Standard MIDI File `midi` that sound a note before any
// program change of the same channel has chosen their instrument: they play the General MIDI
// default, the piano (the drum kit on the percussion channel). Events of the same tick count in
// the order of their tracks. Reads only what lies within the file's track chunks; a track that
// breaks off is read up to the break.
std::bitset<16> channelsPlayingTheDefaultProgram(const QByteArray& midi);

}  // namespace lumi::music
