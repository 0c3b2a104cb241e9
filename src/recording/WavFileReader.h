// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

// Reads the PCM of a 16-bit stereo 44,100 Hz WAV file in blocks. Throws std::runtime_error with
// the reason when the file cannot be opened or is not such a WAV file.
class WavFileReader {
  public:
    explicit WavFileReader(const QString& path);
    // Up to maxFrames stereo frames into buffer (2 samples each); 0 at the end.
    qsizetype read(qint16* buffer, qsizetype maxFrames);
    qint64 remainingBytes() const { return remaining_; }

  private:
    QFile file_;
    qint64 remaining_ = 0;
};
