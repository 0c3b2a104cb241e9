#include "recording/RecordingNames.h"

#include <QDir>
#include <QFile>

namespace RecordingNames {

QString stamp(const QDateTime& localTime) {
    return localTime.toString(QStringLiteral("yyyyMMHHmm"));
}

QString fileNamePart(const QString& stationName) {
    QString name = stationName;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
    return name;
}

QString unusedPath(const QString& folder, const QString& stationName, const QString& stamp,
                   const QString& extension, const std::function<bool(const QString&)>& taken) {
    const auto isTaken = taken ? taken : [](const QString& path) { return QFile::exists(path); };
    const QDir dir(folder);
    const QString base = fileNamePart(stationName) + QStringLiteral(" - ") + stamp;
    QString path = dir.filePath(base + extension);
    for (int n = 2; isTaken(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(extension));
    return path;
}

}  // namespace RecordingNames
