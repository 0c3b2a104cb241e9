// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class StationTable;

// The measures of a station catalogue, as lines of text for people who build catalogues.
QString catalogueStats(const StationTable& table);
