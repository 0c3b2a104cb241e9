#include "recording/EncoderPipeline.h"

#include "platform/AtomicFile.h"
#include "recording/Mp3Encoder.h"
#include "recording/WmaEncoder.h"

#include <QCoreApplication>
#include <QFile>

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
        // Written here, not on the user-interface thread: an hour of audio is some 600 MB.
        QFile wav(job.wavPath);
        if (!wav.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            throw std::runtime_error(job.wavPath.toStdString() + ": " +
                                     wav.errorString().toStdString());
        writeAll(wav, job.image.constData(), job.image.size());
        wav.close();
        if (job.format == EncoderJob::Format::mp3)
            Mp3Encoder::encode(job.wavPath, job.outputPath, job.title);
        else
            WmaEncoder::encode(job.wavPath, job.outputPath, job.title);
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
        job.image = QByteArray();  // the memory goes as soon as the file is written
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
