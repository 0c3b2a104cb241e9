#pragma once

#include <QByteArray>

#include <atomic>
#include <mutex>

// The WAV image of the current (or last) recording in memory: a 44-byte header, then 16-bit
// stereo PCM at 44,100 Hz in capture order. The capture thread appends; the user-interface
// thread reads the size at any time and the contents only after the capture has stopped.
class WaveStream {
  public:
    static constexpr int kHeaderSize = 44;
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kBytesPerSecond = kSampleRate * kChannels * 2;

    void clear();
    // The header with its start values (sizes 36 and 0).
    void appendHeader();
    // From the capture thread.
    void append(const char* data, qsizetype length);
    qsizetype size() const { return size_.load(); }
    bool isEmpty() const { return size() == 0; }
    // After the capture has stopped: RIFF size = size − 8, data size = size − 44.
    void finish();
    // The whole image, shared rather than copied; it does not change while a holder keeps it.
    QByteArray image() const;

    // Whether bytes are a PCM WAV file that can be read: header fields consistent with the length.
    static bool isReadableWav(const QByteArray& bytes);

  private:
    mutable std::mutex mutex_;
    QByteArray bytes_;
    std::atomic<qsizetype> size_{0};
};
