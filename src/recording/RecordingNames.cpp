// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/RecordingNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace RecordingNames {

QString stamp(const QDateTime& localTime) {
    return localTime.toString(QStringLiteral("yyyyMMddHHmm"));
}

QString fileNamePart(const QString& stationName) {
    // "/" and NUL cannot stand in a name on any system; the rest are refused by FAT and exFAT,
    // where recordings often go (USB sticks, SD cards).
    static const QString kRefused = QStringLiteral("/\\:*?\"<>|");
    QString name = stationName;
    for (QChar& c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || kRefused.contains(c))
            c = QLatin1Char('_');
    return name;
}

bool parse(const QString& baseName, QString* station, QString* stamp) {
    // Twelve digits; ten in the names of earlier versions, which had no day.
    static const QRegularExpression kName(
        QStringLiteral("^(.*) - (\\d{12}|\\d{10})(?: \\(\\d+\\))?$"));
    const QRegularExpressionMatch match = kName.match(baseName);
    if (!match.hasMatch())
        return false;
    *station = match.captured(1);
    *stamp = match.captured(2);
    return true;
}

bool pathTaken(const QString& path) {
    // A link counts even when it leads nowhere: no recording is written through one.
    return QFileInfo(path).isSymLink() || QFile::exists(path);
}

namespace {

// The longest start of text whose UTF-8 form fits maxBytes, never splitting a character.
QString cutToBytes(const QString& text, qsizetype maxBytes) {
    qsizetype bytes = 0, end = 0;
    while (end < text.size()) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const qsizetype size = text.mid(end, length).toUtf8().size();
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += length;
    }
    return text.left(end);
}

}  // namespace

QString unusedPath(const QString& folder, const QString& stationName, const QString& stamp,
                   const QString& extension, const std::function<bool(const QString&)>& taken) {
    const auto isTaken = taken ? taken : pathTaken;
    const QDir dir(folder);
    const QString station = fileNamePart(stationName);
    // The whole name, with the stamp, any " (n)" and the extension, fits the 255 bytes that
    // Linux file systems allow; the station's part is cut to make it so.
    const auto path = [&](const QString& suffix) {
        const QString tail = QStringLiteral(" - ") + stamp + suffix + extension;
        return dir.filePath(cutToBytes(station, kMaxNameBytes - tail.toUtf8().size()) + tail);
    };
    QString candidate = path(QString());
    for (int n = 2; isTaken(candidate); ++n)
        candidate = path(QStringLiteral(" (%1)").arg(n));
    return candidate;
}

}  // namespace RecordingNames
