// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Dialogs;
class Downloads;
class OptionsStore;
class StationTable;
struct WindowFields;

// The catalogue update: when the update server's catalogue version is newer than the option
// `db`, its packet of new stations is appended to the station table and saved, and the user is
// told how many came in a tray balloon, whose click shows their list.
class CatalogueUpdate : public QObject {
    Q_OBJECT

  public:
    struct Services {
        Downloads& downloads;
        StationTable& table;
        OptionsStore& options;
        Dialogs& dialogs;
        QString folder;  // where "updatedb.xml" and "update.cds" are kept
    };
    struct Hooks {
        std::function<void(const QString& title, const QString& text)> balloon;
        std::function<void()> focusStationList;
    };

    // A merge sets the window field detail until its list is shown.
    CatalogueUpdate(Services services, WindowFields& fields, Hooks hooks,
                    QObject* parent = nullptr);

    // Starts an update; it goes on from the event loop. One at a time.
    void UpdateDB();
    bool busy() const { return busy_; }
    // A click on any tray balloon: after a merge, the list of the new stations.
    void TrayIcon1BalloonClick();

  private:
    void descriptorArrived(const QByteArray& body);
    void packetArrived(const QString& version, const QByteArray& body);
    // After the catalogue with the packet's stations was saved, or could not be.
    void merged(const QString& version, size_t added);
    void notMerged();
    void failed();
    QString path(const char* name) const;

    Services services_;
    WindowFields& fields_;
    Hooks hooks_;
    bool busy_ = false;
};
