// SPDX-License-Identifier: GPL-3.0-or-later
// Memory while recording: captures the default sink's monitor through PulseAudio into a WAV file,
// as the program records, and prints the resident memory at the start and the end.
// Usage: recording_memory [SECONDS] (default 300). Needs a PulseAudio server (scripts/bench
// starts one).
#include "platform/PulseCaptureDevice.h"
#include "recording/WaveStream.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 300;
    QTemporaryDir dir;
    PulseCaptureDevice device;
    if (!device.init()) {
        std::fprintf(stderr, "recording_memory: no sound server\n");
        return 1;
    }
    WaveStream wave;
    wave.create(dir.filePath(QStringLiteral("bench.wav")));
    if (!device.start([&](const char* data, qsizetype length) { wave.append(data, length); })) {
        std::fprintf(stderr, "recording_memory: the capture did not start\n");
        return 1;
    }
    QThread::sleep(5);  // past the start-up
    const long start = residentKiB();
    const qint64 startBytes = wave.size();
    QThread::sleep(unsigned(seconds));
    const long end = residentKiB();
    device.stop();
    wave.finish();
    std::printf(
        "recorded %d s (%.1f MB on disk): resident memory %ld kB -> %ld kB, growth %ld kB "
        "(budget: under 10 MB for 5 minutes)\n",
        seconds, double(wave.size() - startBytes) / 1e6, start, end, end - start);
    const bool captured =
        wave.size() - startBytes >= qint64(seconds) * WaveStream::kBytesPerSecond * 9 / 10;
    if (!captured)
        std::fprintf(stderr, "recording_memory: less was captured than the time recorded\n");
    return captured && end - start < 10 * 1024 * seconds / 300 + 1024 ? 0 : 1;
}
