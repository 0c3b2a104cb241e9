// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a recording went, as the recorder counted it: what the user is told once it is saved.
struct RecordingOutcome {
    int seconds = 0;  // of sound recorded
    int gaps = 0;     // interruptions
    int gapSeconds = 0;
    bool heard = true;     // any sound at all
    bool captured = true;  // the sound server delivered the capture at some time
};
