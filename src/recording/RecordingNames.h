#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// Names of recordings: station name + " - " + stamp + extension.
namespace RecordingNames {

// "yyyymmhhmm": year, month, hour, minute (no day, no seconds).
QString stamp(const QDateTime& localTime);
// A station name made fit for a file name: "/" and NUL become "_" (they could not stand in a
// name, and "/" could lead out of the folder).
QString fileNamePart(const QString& stationName);
// folder/name - stamp.ext, or with " (2)", " (3)"… before the extension when that is taken
// (by default: when the file exists).
QString unusedPath(const QString& folder, const QString& stationName, const QString& stamp,
                   const QString& extension, const std::function<bool(const QString&)>& taken = {});

}  // namespace RecordingNames
