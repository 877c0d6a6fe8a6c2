#pragma once

#include <QString>

namespace lumi::platform {

// The fixed install folder that holds "List.txt", the tunes "1.mid" to "10.mid",
// "default.jpg" and "bg.jpg", with its closing separator. On Linux it is
// Corvanta/Lumiscribe/ in the XDG data folder; nothing else configures it.
QString installDir();

}  // namespace lumi::platform
