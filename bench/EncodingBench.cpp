// SPDX-License-Identifier: GPL-3.0-or-later
// Encoding one minute of recorded audio, against the reference encoders' own commands with the
// same settings on the same WAV. vs_peer = peer time ÷ our time (budget for MP3: ≥ 0.95).
#include "recording/Mp3Encoder.h"
#include "recording/WaveStream.h"
#include "recording/WmaEncoder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

// A minute of music-like audio: two tones and some noise, so the encoder has work to do.
const QString& minuteWav() {
    static QTemporaryDir dir;  // lives for the whole run, shared by the benchmarks
    static QString path;
    if (!path.isEmpty())
        return path;
    path = dir.filePath(QStringLiteral("minute.wav"));
    std::mt19937 noise(7);
    std::normal_distribution<double> hiss(0, 600);
    QByteArray pcm(60 * WaveStream::kBytesPerSecond, '\0');
    auto* s = reinterpret_cast<int16_t*>(pcm.data());
    for (int i = 0; i < 60 * 44100; ++i) {
        const double t = i / 44100.0;
        s[2 * i] = int16_t(6000 * std::sin(2 * M_PI * 440 * t) + hiss(noise));
        s[2 * i + 1] = int16_t(6000 * std::sin(2 * M_PI * 660 * t) + hiss(noise));
    }
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(WaveStream::image(pcm));
    return path;
}

double runPeer(const QString& program, const QStringList& arguments) {
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        return NAN;
    return clock.nsecsElapsed() / 1e9;
}

template <typename Encode>
void compare(benchmark::State& state, Encode encode, const QString& peer,
             const QStringList& peerArguments, const QString& extension) {
    QTemporaryDir dir;
    const QString wav = minuteWav();
    double ours = 0, theirs = 0;
    int round = 0;
    for (auto _ : state) {
        const QString out = dir.filePath(QStringLiteral("ours%1%2").arg(round).arg(extension));
        QElapsedTimer clock;
        clock.start();
        encode(wav, out);
        const double t = clock.nsecsElapsed() / 1e9;
        state.SetIterationTime(t);
        ours += t;
        QStringList arguments = peerArguments;
        arguments.replaceInStrings(QStringLiteral("IN"), wav);
        arguments.replaceInStrings(
            QStringLiteral("OUT"),
            dir.filePath(QStringLiteral("peer%1%2").arg(round).arg(extension)));
        theirs += runPeer(peer, arguments);
        ++round;
    }
    state.counters["peer_s"] = theirs / round;
    state.counters["vs_peer"] = theirs / ours;
}

void BM_EncodeMinuteToMp3(benchmark::State& state) {
    compare(
        state,
        [](const QString& in, const QString& out) {
            Mp3Encoder::encode(in, out, QStringLiteral("bench"));
        },
        QStringLiteral("lame"),
        {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"),
         QStringLiteral("--cbr"), QStringLiteral("-m"), QStringLiteral("s"),
         QStringLiteral("--nores"), QStringLiteral("-t"), QStringLiteral("--noreplaygain"),
         QStringLiteral("IN"), QStringLiteral("OUT")},
        QStringLiteral(".mp3"));
}
BENCHMARK(BM_EncodeMinuteToMp3)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_EncodeMinuteToWma(benchmark::State& state) {
    compare(
        state,
        [](const QString& in, const QString& out) {
            WmaEncoder::encode(in, out, QStringLiteral("bench"));
        },
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
         QStringLiteral("-i"), QStringLiteral("IN"), QStringLiteral("-c:a"),
         QStringLiteral("wmav2"), QStringLiteral("-b:a"), QStringLiteral("128k"),
         QStringLiteral("OUT")},
        QStringLiteral(".wma"));
}
BENCHMARK(BM_EncodeMinuteToWma)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
