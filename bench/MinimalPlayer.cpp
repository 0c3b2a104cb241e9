// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the cost of playing: the least a libvlc program does to play a stream.
// Usage: minimal_player URL SECONDS
#include <vlc/vlc.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: minimal_player URL SECONDS\n");
        return 2;
    }
    const char* args[] = {"--no-video", "--quiet"};
    libvlc_instance_t* vlc = libvlc_new(2, args);
    if (!vlc)
        return 1;
    libvlc_media_t* media = libvlc_media_new_location(vlc, argv[1]);
    libvlc_media_player_t* player = libvlc_media_player_new_from_media(media);
    libvlc_media_release(media);
    libvlc_media_player_play(player);
    sleep(unsigned(std::atoi(argv[2])));
    libvlc_media_player_stop(player);
    libvlc_media_player_release(player);
    libvlc_release(vlc);
    return 0;
}
