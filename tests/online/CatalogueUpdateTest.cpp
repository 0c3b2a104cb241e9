// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue update against an update server on loopback.
#include "CataloguePacket.h"
#include "catalogue/StationTable.h"
#include "core/WindowFields.h"
#include "online/CatalogueUpdate.h"
#include "online/Downloads.h"
#include "setting/OptionsStore.h"
#include "support/FakeDialogs.h"
#include "support/LoopbackHttpServer.h"
#include "support/PrivateHome.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

StationRow station(const char* name) {
    return StationRow::station(QString::fromUtf8(name), QStringLiteral("中国"),
                               QStringLiteral("新闻"), QStringLiteral("128kbps"),
                               QStringLiteral("http://h/") + QString::fromUtf8(name));
}

std::string descriptor(const char* version, const char* list = "新电台一\n新电台二") {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<update>\n  <version>") +
           version + "</version>\n  <list>" + list + "</list>\n</update>\n";
}

class CatalogueUpdating : public ::testing::Test {
  protected:
    void SetUp() override {
        table.append(station("Old One"));
        table.append(station("Old Two"));
        table.commitAndSave();
        table.loadFromFile(table.savePath());
        qputenv("CORVINATONE_SERVER", server.url("").toUtf8());
    }
    void TearDown() override { PrivateHome::keepOffline(); }

    // The bytes of a catalogue file with these rows.
    std::string packet(const std::vector<StationRow>& rows) {
        StationTable made(packets.filePath(QStringLiteral("p%1.cds").arg(++packetsMade)));
        for (const StationRow& row : rows)
            made.append(row);
        made.commitAndSave();
        return readFile(made.savePath()).toStdString();
    }
    void run() {
        update.UpdateDB();
        ASSERT_TRUE(waitFor([this] { return !update.busy(); }, 20000));
    }
    QString file(const char* name) const { return folder.filePath(QLatin1String(name)); }
    QStringList names() const {
        QStringList list;
        for (int i = 0; i < table.totalCount(); ++i)
            list << table.row(i).text(Field::stationName);
        return list;
    }

    QTemporaryDir folder, packets;
    int packetsMade = 0;
    LoopbackHttpServer server;
    StationTable table{QDir(folder.path()).filePath(QStringLiteral("rd.cds"))};
    OptionsStore options{QDir(folder.path()).filePath(QStringLiteral("option.ini"))};
    FakeDialogs dialogs;
    Downloads downloads;
    QStringList balloons;
    int focused = 0;
    WindowFields fields;
    CatalogueUpdate update{
        {.downloads = downloads,
         .table = table,
         .options = options,
         .dialogs = dialogs,
         .folder = folder.path()},
        fields,
        {.balloon = [this](const QString& title,
                           const QString& text) { balloons << title + u'|' + text; },
         .focusStationList = [this] { ++focused; }}};
    const QString failure = QStringLiteral("更新出错，请检查是否联网或被杀毒软件所阻止！");
};

}  // namespace

TEST_F(CatalogueUpdating, ANewerVersionAppendsThePacketsStationsOnlyAsStations) {
    StationRow task = station("Sender's task");
    task.setText(Field::planType, QStringLiteral("播放并录音"));
    task.setText(Field::finishAction, QStringLiteral("关机"));
    task.setText(Field::period, QStringLiteral("星期三"));
    task.setDateTime(Field::startTime, CdsDateTime::fromTimeOfDay(QTime(3, 0)));
    task.setInteger(Field::intervalSeconds, 60);
    task.setText(Field::favourite, QStringLiteral("1"));
    server.addFile("/updatedb.xml", "text/xml", descriptor("20121203"));
    server.addFile("/update.cds", "application/octet-stream", packet({station("Old One"), task}));
    options.db = QStringLiteral(" 20121202 ");  // blanks around the number count for nothing
    table.moveTo(1);  // the station editor shows "Old Two" while the update comes in

    run();
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("Old Two"));
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.value(0).text.toStdString();
    EXPECT_TRUE(server.lastRequest().find("User-Agent: Mozilla/3.0 (compatible; Indy Library)") !=
                std::string::npos);
    EXPECT_TRUE(server.lastRequest().find("Accept: text/html, */*") != std::string::npos);
    // A row equal to one already there is appended all the same.
    EXPECT_EQ(names(), (QStringList{"Old One", "Old Two", "Old One", "Sender's task"}));
    const StationRef added = table.row(3);
    EXPECT_FALSE(added.isTask());
    for (Field f : {Field::finishAction, Field::period, Field::favourite})
        EXPECT_EQ(added.text(f), QString());
    EXPECT_FALSE(added.dateTime(Field::startTime));
    EXPECT_FALSE(added.integer(Field::intervalSeconds));
    EXPECT_EQ(added.text(Field::streamUrl), QStringLiteral("http://h/Sender's task"));

    // Saved: the catalogue, the version in option.ini; the files stay for the balloon click.
    StationTable onDisk(table.savePath());
    onDisk.loadFromFile(onDisk.savePath());
    EXPECT_EQ(onDisk.totalCount(), 4);
    EXPECT_EQ(options.db, QStringLiteral("20121203"));
    EXPECT_TRUE(readFile(file("option.ini")).contains("db=20121203"));
    EXPECT_TRUE(QFileInfo::exists(file("updatedb.xml")));
    EXPECT_TRUE(QFileInfo::exists(file("update.cds")));
    EXPECT_EQ(balloons,
              QStringList{"Corvinatone 2.21 提示: 新增加了2个电台|点击查看详细电台清单..."});
    EXPECT_EQ(focused, 1);

    // The balloon's click shows the list, once.
    ASSERT_TRUE(fields.detail);
    update.TrayIcon1BalloonClick();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("新电台一\n新电台二"));
    update.TrayIcon1BalloonClick();
    EXPECT_EQ(dialogs.shown.size(), 1);

    // The same version again: only the descriptor is fetched, and deleted.
    run();
    EXPECT_EQ(table.totalCount(), 4);
    EXPECT_FALSE(QFileInfo::exists(file("updatedb.xml")));
    EXPECT_EQ(balloons.size(), 1);
}

TEST_F(CatalogueUpdating, AnEqualOrLowerVersionWritesNothing) {
    const QDateTime written = QFileInfo(table.savePath()).lastModified();
    for (const char* version : {"20121202", "20111111"}) {
        server.addFile("/updatedb.xml", "text/xml", descriptor(version));
        server.addFile("/update.cds", "application/octet-stream", packet({station("New")}));
        run();
        EXPECT_EQ(table.totalCount(), 2) << version;
        EXPECT_FALSE(QFileInfo::exists(file("updatedb.xml"))) << version;
        EXPECT_FALSE(QFileInfo::exists(file("option.ini"))) << version;
    }
    EXPECT_EQ(QFileInfo(table.savePath()).lastModified(), written);
    EXPECT_TRUE(balloons.isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(CatalogueUpdating, AnEmptyPacketAnnouncesNoneButRaisesTheVersion) {
    server.addFile("/updatedb.xml", "text/xml", descriptor("20130101"));
    server.addFile("/update.cds", "application/octet-stream", packet({}));
    const QByteArray before = readFile(table.savePath());
    QFile::remove(table.savePath());
    run();
    EXPECT_EQ(balloons,
              QStringList{"Corvinatone 2.21 提示: 新增加了0个电台|点击查看详细电台清单..."});
    EXPECT_EQ(options.db, QStringLiteral("20130101"));
    EXPECT_EQ(readFile(table.savePath()), before);  // rewritten
}

TEST_F(CatalogueUpdating, ACatalogueThatCannotBeSavedKeepsTheVersionAndDropsTheStations) {
    server.addFile("/updatedb.xml", "text/xml", descriptor("20121203"));
    server.addFile("/update.cds", "application/octet-stream",
                   packet({station("New One"), station("New Two")}));
    options.db = QStringLiteral("20121202");
    const QByteArray before = readFile(table.savePath());
    table.moveTo(1);  // the station editor shows "Old Two" while the update comes in
    // The disk fills up: the packet (small) is written, the whole catalogue is not.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = rlim_t(before.size()) + 8;
    setrlimit(RLIMIT_FSIZE, &tight);
    run();  // ends once the background save has told its outcome
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, failure);
    EXPECT_EQ(readFile(table.savePath()), before);
    EXPECT_EQ(names(), (QStringList{"Old One", "Old Two"}));  // the next update brings them
    EXPECT_EQ(table.text(Field::stationName), QStringLiteral("Old Two"));
    EXPECT_EQ(options.db, QStringLiteral("20121202"));
    EXPECT_TRUE(balloons.isEmpty());
}

TEST_F(CatalogueUpdating, FailuresSayOnceWhatWentWrongAndMergeNothing) {
    // No server at all, no descriptor on it, or one far larger than any descriptor: nothing.
    run();
    server.addFile("/updatedb.xml", "text/xml", descriptor("20121203") + std::string(2 << 20, ' '));
    run();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(file("updatedb.xml")));

    // A packet that does not come: the one an earlier update left on disk is not merged again.
    ASSERT_TRUE(writeFile(file("update.cds"), QByteArray::fromStdString(packet({station("Old")}))));
    server.addFile("/updatedb.xml", "text/xml", descriptor("20121203"));
    run();
    EXPECT_EQ(table.totalCount(), 2);
    EXPECT_EQ(options.db, QStringLiteral("20121202"));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, failure);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Corvinatone 2.21"));

    // A packet of another table, or no catalogue at all.
    CataloguePacket other;
    other.fields = {FieldDescriptor::wideString(QStringLiteral("名称"), 50)};
    for (const std::string& body : {other.write().toStdString(), std::string("not a packet")}) {
        server.addFile("/update.cds", "application/octet-stream", body);
        run();
        EXPECT_EQ(table.totalCount(), 2);
        EXPECT_EQ(options.db, QStringLiteral("20121202"));
        EXPECT_EQ(dialogs.shown.last().text, failure);
    }

    // A descriptor without its first child, or with text where the version belongs.
    for (const std::string& body :
         {std::string("<update/>"), descriptor("soon"), std::string("<")}) {
        const qsizetype before = dialogs.shown.size();
        server.addFile("/updatedb.xml", "text/xml", body);
        run();
        EXPECT_EQ(dialogs.shown.size(), before + 1) << body;
    }
    EXPECT_TRUE(balloons.isEmpty());

    // A balloon click with the list gone: the general error report; the list stays to be shown.
    fields.detail = true;
    QFile::remove(file("updatedb.xml"));
    EXPECT_THROW(update.TrayIcon1BalloonClick(), std::runtime_error);
    EXPECT_TRUE(fields.detail);
}
