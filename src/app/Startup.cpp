// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "AppInfo.h"
#include "app/AppTexts.h"
#include "catalogue/CatalogueFormat.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/SingleInstanceLock.h"
#include "playback/PlaybackTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
const QString kLockName = QStringLiteral("RUNONCEMUTEX");
const QString kUpdateLeftover = QStringLiteral("corvinatone.old");
const QString kCatalogue = QStringLiteral("rd.cds");
}  // namespace

Startup::Startup(Dialogs& dialogs, Settings settings)
    : dialogs_(dialogs), settings_(std::move(settings)) {}

int Startup::run(const std::function<int()>& createAndRun) {
    const QDir folder(settings_.programFolder);
    // What an update moved aside, beside the program; a failed removal is of no consequence.
    QFile::remove(folder.filePath(kUpdateLeftover));
    QFile::remove(QDir(QCoreApplication::applicationDirPath()).filePath(kUpdateLeftover));

    SingleInstanceLock lock(kLockName, settings_.lockFolder);
    try {
        if (!lock.tryAcquire()) {
            const bool handedOver = settings_.handOver(settings_.address);
            if (!handedOver || settings_.address.isEmpty())
                dialogs_.message(AppInfo::title(), AppTexts::alreadyRunning(), Dialogs::Icon::none);
            return 0;
        }
        QDir::setCurrent(folder.absolutePath());
        if (!QFile::exists(kCatalogue)) {
            dialogs_.message(AppInfo::title(), AppTexts::catalogueMissing(settings_.downloadPage),
                             Dialogs::Icon::none);
            return kExitFailure;
        }
        return createAndRun();
    } catch (const CatalogueFormatError& e) {
        // rd.cds is there but unreadable: say why, and never run on (a save would replace the
        // user's catalogue with an empty one).
        dialogs_.message(
            AppInfo::title(),
            AppTexts::withReason(AppTexts::catalogueMissing(settings_.downloadPage), e),
            Dialogs::Icon::error);
    } catch (const MediaPlayerError& e) {
        dialogs_.message(AppInfo::oldTitle(), PlaybackTexts::playerMissing(e),
                         Dialogs::Icon::error);
    } catch (const std::exception& e) {
        // Anything else (a lock path that is a folder, an unwritable runtime folder…) has nothing
        // to do with the player: its own reason is the message.
        dialogs_.message(AppInfo::title(), QString::fromUtf8(e.what()), Dialogs::Icon::error);
    }
    return kExitFailure;
}
