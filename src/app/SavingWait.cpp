// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SavingWait.h"

#include "AppInfo.h"
#include "recording/EncoderPipeline.h"
#include "recording/RecordingTexts.h"

#include <QEventLoop>
#include <QProgressDialog>

void waitUntilSaved(EncoderPipeline& pipeline, QWidget* parent) {
    if (!pipeline.busy())
        return;
    QProgressDialog saving(RecordingTexts::saving(), QString(), 0, 0, parent);
    saving.setWindowTitle(AppInfo::title());
    saving.setWindowModality(Qt::ApplicationModal);
    saving.setMinimumDuration(0);
    saving.show();
    QEventLoop wait;
    QObject::connect(&pipeline, &EncoderPipeline::done, &wait, [&] {
        if (!pipeline.busy())
            wait.quit();
    });
    if (pipeline.busy())
        wait.exec();
}
