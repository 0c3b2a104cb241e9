// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>

// The WAV file of the current (or last) recording, written as the capture arrives: a 44-byte
// header, then 16-bit stereo PCM at 44,100 Hz in capture order. Memory stays flat however long
// the recording runs, and a crash keeps all but the last moments: until finish() patches it, the
// header's data size is 0, which marks a recording that did not end (unencoded()). The capture
// thread appends; the user-interface thread reads the size and the failure at any time.
class WaveStream {
  public:
    static constexpr int kHeaderSize = 44;
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kBytesPerSecond = kSampleRate * kChannels * 2;
    // The 32-bit sizes of a file past 4 GiB: the data runs to the end of the file.
    static constexpr quint32 kSizeUnknown = 0xFFFFFFFF;

    WaveStream() = default;
    ~WaveStream();
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;

    // Creates path, only if nothing (not even a link) is there, readable by the user alone, and
    // writes the unpatched header. Throws std::runtime_error with the system's reason.
    void create(const QString& path);
    // From the capture thread. After a failed write (disk full) nothing more is written and
    // failure() says why.
    void append(const char* data, qsizetype length);
    qint64 size() const { return size_.load(); }  // the header included
    bool isEmpty() const { return size() == 0; }
    QString failure() const;
    // Pushes what was written so far to the disk, so that a power cut loses only the moments
    // since (the recorder calls it every few seconds).
    void sync();
    // After the capture has stopped: patches the header's sizes, flushes the file to the disk and
    // closes it; a failure there shows in failure(). The path stays for the encoding.
    // create() and finish() run only while no capture callback can run.
    void finish();
    // While the capture may run: copies what was written into a new file at path (created as
    // create() does), goes on there, and removes the old file. For a recording whose folder went
    // away or stopped taking writes: the open file still holds all of it. Throws
    // std::runtime_error with the reason, the recording then as it was.
    void moveTo(const QString& path);
    const QString& path() const { return path_; }
    // The file was removed (its folder too, perhaps) while the recording goes on into it.
    bool unlinked() const;
    // Pushes a rename or a new file in path's folder to the disk.
    static void syncFolderOf(const QString& path);

    // The header of a WAV file with dataBytes of PCM.
    static QByteArray header(qint64 dataBytes);
    // A whole WAV image of pcm, for tests and tools.
    static QByteArray image(const QByteArray& pcm) { return header(pcm.size()) + pcm; }
    // Whether bytes are a PCM WAV file that can be read: header fields consistent with the length.
    static bool isReadableWav(const QByteArray& bytes);
    // The program's own WAV files in folder: each is a recording whose encoding did not finish
    // (an encoded one is removed). One that never ended (a crash, a power cut) has its header
    // patched from its length first. The rest of the folder is left as it is.
    static QStringList unencoded(const QString& folder);

  private:
    QString path_;
    int fd_ = -1;
    std::atomic<qint64> size_{0};
    std::mutex writeMutex_;  // the capture thread's writes, against a move
    mutable std::mutex failureMutex_;
    QString failure_;
    std::atomic<bool> failed_{false};
};
