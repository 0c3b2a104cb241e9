// SPDX-License-Identifier: GPL-3.0-or-later
// The stream player's module: libvlc comes with it, loaded at the first play (ModulePlayer).
#include "platform/VlcMediaPlayer.h"

// Throws MediaPlayerError when libvlc cannot start.
extern "C" Q_DECL_EXPORT MediaPlayer* corvinatone_player_new(const QStringList& arguments) {
    return new VlcMediaPlayer(arguments);
}
