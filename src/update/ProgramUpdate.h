// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "online/UpdateDescriptor.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Desktop;
class Dialogs;
class Downloads;

// The program update: compares the update server's version number with this program's and, when
// it is newer, offers it; "更新" downloads the new executable and puts it in place of the running
// one, which stays beside it as "corvinatone.old" until the next start.
class ProgramUpdate : public QObject {
    Q_OBJECT

  public:
    struct Services {
        Downloads& downloads;
        Dialogs& dialogs;
        Desktop& desktop;
        QString folder;       // the program folder, where "update.xml" is kept while checking
        QString programFile;  // the executable "corvinatone" that is replaced
        std::function<void()> endRun;
    };
    struct Hooks {
        // Shows the update window for this descriptor, modally; returns once it is closed.
        std::function<void(const UpdateDescriptor&)> offer;
    };

    ProgramUpdate(Services services, Hooks hooks, QObject* parent = nullptr);

    // This program's version as a number: its version's digits in a row ("2.21" gives 221).
    static qint64 runningVersion();

    // Starts a check; it goes on from the event loop. One at a time.
    void checkupdate();
    bool busy() const { return busy_; }

    // "更新": downloads the executable of the offered version and replaces the program with it.
    // finished(true) comes after a complete replacement, when the run is about to end.
    void Button1Click(const UpdateDescriptor& descriptor,
                      std::function<void(qint64 received, qint64 total)> progress,
                      std::function<void(bool replaced)> finished);
    // "点击下载完整版": the full installer in the browser.
    void Label4Click();

    // Puts the downloaded executable in place of programFile: checked whole (the announced
    // length; the SHA-256 digest when the descriptor gives one) and an executable for this
    // machine, staged beside it, the old one moved aside to "corvinatone.old". Returns why it
    // failed, empty on success; on failure programFile is the old, startable program.
    static QString install(const QByteArray& body, qint64 announced,
                           const std::optional<QString>& sha256, const QString& programFile);

  private:
    void descriptorArrived(const QByteArray& body);
    QString path(const char* name) const;

    Services services_;
    Hooks hooks_;
    bool busy_ = false;
};
