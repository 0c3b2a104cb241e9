#pragma once

#include <QFile>
#include <QString>

// Reads the PCM of a 16-bit stereo 44,100 Hz WAV file in blocks. Throws std::runtime_error with
// the reason when the file cannot be opened or is not such a WAV file.
class WavFileReader {
  public:
    // The data size of a WAV file too long for its 32-bit fields: read to the end of the file.
    static constexpr quint32 kSizeUnknown = 0xFFFFFFFF;

    explicit WavFileReader(const QString& path);
    // Up to maxFrames stereo frames into buffer (2 samples each); 0 at the end.
    qsizetype read(qint16* buffer, qsizetype maxFrames);
    qint64 remainingBytes() const { return remaining_; }

  private:
    QFile file_;
    qint64 remaining_ = 0;
};
