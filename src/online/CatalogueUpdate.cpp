// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/CatalogueUpdate.h"

#include "AppInfo.h"
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "online/Downloads.h"
#include "online/OnlineTexts.h"
#include "online/UpdateDescriptor.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "setting/OptionsStore.h"
#include "setting/ServerAddresses.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

const char kDescriptor[] = "updatedb.xml";
const char kPacket[] = "update.cds";

// A packet's rows are stations, nothing else: a task in one would play, record and switch the
// computer off at a time of the sender's choosing.
void keepOnlyTheStation(StationRow& row) {
    for (Field f : {Field::planType, Field::startTime, Field::endTime, Field::finishAction,
                    Field::period, Field::intervalSeconds, Field::favourite})
        row.values[size_t(f)] = std::monostate();
}

}  // namespace

CatalogueUpdate::CatalogueUpdate(Services services, WindowFields& fields, Hooks hooks,
                                 QObject* parent)
    : QObject(parent), services_(std::move(services)), fields_(fields), hooks_(std::move(hooks)) {}

QString CatalogueUpdate::path(const char* name) const {
    return QDir(services_.folder).filePath(QLatin1String(name));
}

void CatalogueUpdate::UpdateDB() {
    if (busy_)
        return;
    busy_ = true;
    services_.downloads.get(QUrl(ServerAddresses::base() + QStringLiteral("/updatedb.xml")),
                            Downloads::kDescriptor,
                            [this](const QByteArray& body, const QString& error) {
                                if (!error.isEmpty()) {
                                    busy_ = false;  // no network: nothing to say
                                    return;
                                }
                                descriptorArrived(body);
                            });
}

void CatalogueUpdate::descriptorArrived(const QByteArray& body) {
    try {
        writeFileAtomically(path(kDescriptor), body);
    } catch (const std::exception&) {
        failed();
        return;
    }
    const std::optional<UpdateDescriptor> descriptor = UpdateDescriptor::parse(body);
    const std::optional<qint64> newVersion =
        descriptor ? descriptor->number(0) : std::optional<qint64>();
    bool ok = false;
    const qint64 current = services_.options.db.trimmed().toLongLong(&ok);
    if (!newVersion || !ok) {
        failed();
        return;
    }
    if (*newVersion <= current) {
        QFile::remove(path(kDescriptor));
        busy_ = false;
        return;
    }
    const QString version = *descriptor->value(0);
    services_.downloads.get(QUrl(ServerAddresses::base() + QStringLiteral("/update.cds")),
                            Downloads::kPacket,
                            [this, version](const QByteArray& packet, const QString& error) {
                                // A packet that did not come is not taken from an earlier
                                // update's file either.
                                if (!error.isEmpty())
                                    failed();
                                else
                                    packetArrived(version, packet);
                            });
}

void CatalogueUpdate::packetArrived(const QString& version, const QByteArray& body) {
    try {
        writeFileAtomically(path(kPacket), body);
        std::vector<StationRow> rows = StationTable::readRows(body);
        for (StationRow& row : rows)
            keepOnlyTheStation(row);
        const size_t added = rows.size();
        services_.table.appendRows(std::move(rows));
        // Saved in the background; the version is raised only once the stations are on disk.
        services_.table.saveInBackground(
            [this, version, added](bool saved) { saved ? merged(version, added) : notMerged(); });
    } catch (const std::exception&) {
        failed();
    }
}

void CatalogueUpdate::merged(const QString& version, size_t added) {
    try {
        services_.options.db = version;
        services_.options.saveini();
    } catch (const std::exception&) {
        failed();
        return;
    }
    hooks_.balloon(OnlineTexts::stationsAddedTitle(AppInfo::title(), added),
                   OnlineTexts::stationsAddedDetail());
    fields_.detail = true;
    hooks_.focusStationList();
    busy_ = false;
}

void CatalogueUpdate::notMerged() {
    // The stations are dropped again, so that the catalogue and the version are what the files
    // hold and the next update brings them again.
    StationTable& table = services_.table;
    const int current = table.currentIndex();
    try {
        table.loadFromFile(table.savePath());
    } catch (const std::exception&) {
    }
    // A window open meanwhile (the station editor) still works on the station it showed.
    table.selectRow(current);
    failed();
}

void CatalogueUpdate::failed() {
    busy_ = false;
    services_.dialogs.message(AppInfo::title(), OnlineTexts::updateFailed(),
                              Dialogs::Icon::information);
}

void CatalogueUpdate::TrayIcon1BalloonClick() {
    if (!fields_.detail)
        return;
    QFile file(path(kDescriptor));
    std::optional<QString> list;
    if (file.open(QIODevice::ReadOnly))
        if (const auto descriptor = UpdateDescriptor::parse(file.readAll()))
            list = descriptor->value(1);
    // Gone (a later check found nothing new) or without its list: the general error report, and
    // the list stays to be shown.
    if (!list)
        throw std::runtime_error(QStringLiteral("%1: no list of new stations")
                                     .arg(QDir::toNativeSeparators(path(kDescriptor)))
                                     .toStdString());
    services_.dialogs.message(AppInfo::title(), *list, Dialogs::Icon::information);
    fields_.detail = false;
}
