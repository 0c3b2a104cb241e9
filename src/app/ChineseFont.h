// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The desktop's sans-serif font for Simplified Chinese (as fontconfig chooses it), when one that
// has Chinese characters is installed; else empty.
QString chineseSansSerif();

// The program's text is Chinese with some Latin. Drawn in the desktop's Latin sans-serif, each
// Chinese character comes from a second font filled in for it, and bold Latin from a third.
// Drawn in the desktop's Chinese sans-serif (which has Latin letters too), one font does it all:
// Latin and Chinese share one baseline and stroke, and there is a font less to load for every
// window. The size stays the desktop's. Nothing changes where no Chinese font is installed.
void useChineseSansSerif();
