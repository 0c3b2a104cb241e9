// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThreadPool>

// One background encoding of a finished recording's WAV file into the output file.
struct EncoderJob {
    enum class Format { mp3, wma };

    QString wavPath;
    QString outputPath;
    QString title;
    Format format = Format::mp3;
    // Filled in by the pipeline.
    bool ok = false;
    QString error;
};

// Runs encoder jobs on one worker thread, one after another in the order they came, so a
// recording stopped while another is still encoding waits its turn instead of being lost.
// Each end is reported on the thread that owns the pipeline.
class EncoderPipeline : public QObject {
    Q_OBJECT

  public:
    explicit EncoderPipeline(QObject* parent = nullptr);
    ~EncoderPipeline() override;  // waits for the jobs in hand

    void start(EncoderJob job);
    bool busy() const { return pending_ > 0; }
    // Blocks until every job has ended and reported (tests, exit).
    void waitForDone();

    // The work itself, on the calling thread.
    static void run(EncoderJob& job);
    // Where a job's file is made until it is whole.
    static QString partialPath(const QString& outputPath);

  signals:
    void done(const EncoderJob& job);

  private:
    QThreadPool worker_;
    int pending_ = 0;
};
