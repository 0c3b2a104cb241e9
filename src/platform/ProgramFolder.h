// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folder of the program's own files (rd.cds, option.ini, channel.ini, the update files), in
// this order: $CORVINATONE_HOME when set; the executable's folder when it holds "rd.cds" and can
// be written (a portable copy); otherwise the user's own folder (userDataFolder()), which the
// first start creates and gives a copy of the shipped catalogue. A build or an install never
// writes there, so a rebuild or an update of the program leaves the user's stations alone.
QString programFolder();

// $XDG_DATA_HOME/corvinatone (normally ~/.local/share/corvinatone), created when missing and
// readable and writable by the user alone.
QString userDataFolder();

// The catalogue that comes with the program: share/corvinatone/rd.cds beside the executable's
// bin folder, as an install lays it out; in the build folder, share/ beside the executable.
QString shippedCatalogue();
