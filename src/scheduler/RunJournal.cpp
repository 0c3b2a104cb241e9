// SPDX-License-Identifier: GPL-3.0-or-later
#include "scheduler/RunJournal.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>

namespace {

constexpr qint64 kMaxFile = 64 * 1024;  // a journal is a few lines; anything bigger is not ours

QByteArray readSmall(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFile)
        return {};
    return file.read(kMaxFile);
}

}  // namespace

RunJournal::RunJournal(const QString& folder)
    : runFile_(QDir(folder).filePath(QStringLiteral("lastrun"))),
      noticeFile_(QDir(folder).filePath(QStringLiteral("notices"))),
      previousRun_(
          QDateTime::fromString(QString::fromLatin1(readSmall(runFile_)).trimmed(), Qt::ISODate)
              .toLocalTime()) {}

void RunJournal::beat(const QDateTime& now, qint64 monotonicMsecs) {
    if (monotonicMsecs - lastBeat_ < kBeatMs)
        return;
    lastBeat_ = monotonicMsecs;
    write(now);
}

void RunJournal::write(const QDateTime& now) {
    // A plain overwrite of one line: a torn write reads as no time, which tells of nothing missed.
    QFile file(runFile_);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toLatin1() +
                   '\n');
}

void RunJournal::keepNotices(const QStringList& notices) {
    QStringList all = QString::fromUtf8(readSmall(noticeFile_)).split(u'\n', Qt::SkipEmptyParts);
    all += notices;
    try {
        // On the disk before the computer goes off.
        writeFileAtomically(noticeFile_, all.join(u'\n').toUtf8() + '\n');
    } catch (const FileWriteError&) {
        // The notice was shown too; only its repetition at the next start is lost.
    }
}

QStringList RunJournal::takeNotices() {
    const QStringList notices =
        QString::fromUtf8(readSmall(noticeFile_)).split(u'\n', Qt::SkipEmptyParts);
    QFile::remove(noticeFile_);
    return notices;
}
