// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/EncoderPipeline.h"

#include "recording/Mp3Encoder.h"
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

void EncoderPipeline::run(EncoderJob& job) {
    try {
        if (job.format == EncoderJob::Format::mp3)
            Mp3Encoder::encode(job.wavPath, job.outputPath, job.title);
        else
            WmaEncoder::encode(job.wavPath, job.outputPath, job.title);
        // On the disk before the WAV is removed: a power cut must not lose both.
        QFile output(job.outputPath);
        if (!output.open(QIODevice::ReadOnly) || ::fsync(output.handle()) != 0)
            throw std::runtime_error(job.outputPath.toStdString() + ": " +
                                     output.errorString().toStdString());
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
