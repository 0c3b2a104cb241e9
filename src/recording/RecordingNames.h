// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Names of recordings: station name + " - " + stamp + extension.
namespace RecordingNames {

// "yyyyMMddHHmm": year, month, day, hour, minute (no seconds).
QString stamp(const QDateTime& localTime);
// The longest file name, in bytes of UTF-8, that Linux file systems take.
constexpr qsizetype kMaxNameBytes = 255;

// A station name made fit for a file name on any disk: "/", NUL, control characters and
// \ : * ? " < > | (refused by FAT and exFAT) become "_"; "/" could also lead out of the folder.
QString fileNamePart(const QString& stationName);
// The station and stamp of a recording's file name without its extension ("name - stamp" or
// "name - stamp (n)"); false for a name that is not a recording's.
bool parse(const QString& baseName, QString* station, QString* stamp);
// Whether a file, or a link even to nothing, has this path.
bool pathTaken(const QString& path);
// folder/name - stamp.ext, or with " (2)", " (3)"… before the extension when that is taken
// (by default: pathTaken); the name's station part is cut so that the file name fits
// kMaxNameBytes.
QString unusedPath(const QString& folder, const QString& stationName, const QString& stamp,
                   const QString& extension, const std::function<bool(const QString&)>& taken = {});

}  // namespace RecordingNames
