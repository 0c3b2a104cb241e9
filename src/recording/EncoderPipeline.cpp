// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/EncoderPipeline.h"

#include "recording/Mp3Encoder.h"
#include "recording/WaveStream.h"
#include "recording/WmaEncoder.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

#include <stdexcept>

EncoderPipeline::EncoderPipeline(QObject* parent) : QObject(parent) {
    worker_.setMaxThreadCount(1);
    qRegisterMetaType<EncoderJob>("EncoderJob");
}

EncoderPipeline::~EncoderPipeline() {
    worker_.waitForDone();
}

QString EncoderPipeline::partialPath(const QString& outputPath) {
    return outputPath + QStringLiteral(".part");
}

void EncoderPipeline::run(EncoderJob& job) {
    try {
        // Made under another name and renamed when whole: a file under a recording's name is
        // always complete, also after a crash in the middle of the encoding.
        const QString partial = partialPath(job.outputPath);
        QFile::remove(partial);  // the leftover of an encoding a crash cut short
        if (job.format == EncoderJob::Format::mp3)
            Mp3Encoder::encode(job.wavPath, partial, job.title);
        else
            WmaEncoder::encode(job.wavPath, partial, job.title);
        // On the disk before the WAV is removed: a power cut must not lose both. The rename
        // never replaces a file: the name was free, and a file that took it since stays.
        QFile output(partial);
        const bool whole = output.open(QIODevice::ReadOnly) && ::fsync(output.handle()) == 0;
        output.close();
        if (!whole || !output.rename(job.outputPath)) {
            const std::string reason = output.errorString().toStdString();
            QFile::remove(partial);
            throw std::runtime_error(job.outputPath.toStdString() + ": " + reason);
        }
        WaveStream::syncFolderOf(job.outputPath);
        job.ok = true;
    } catch (const std::exception& e) {
        job.ok = false;
        job.error = QString::fromUtf8(e.what());
    }
}

void EncoderPipeline::start(EncoderJob job) {
    ++pending_;
    worker_.start([this, job]() mutable {
        run(job);
        QMetaObject::invokeMethod(
            this,
            [this, job] {
                --pending_;
                emit done(job);
            },
            Qt::QueuedConnection);
    });
}

void EncoderPipeline::waitForDone() {
    worker_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}
