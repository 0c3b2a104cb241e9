// SPDX-License-Identifier: GPL-3.0-or-later
// The program update against an update server on loopback, replacing a program in a temporary
// folder.
#include "online/Downloads.h"
#include "support/FakeDialogs.h"
#include "support/FakeServices.h"
#include "support/LoopbackHttpServer.h"
#include "support/PrivateHome.h"
#include "support/QtPrinters.h"
#include "support/TestHelpers.h"
#include "update/ProgramUpdate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string descriptor(const std::string& version, const std::string& digest = {}) {
    std::string xml = "<?xml version=\"1.0\"?>\n<update>\n  <v>" + version +
                      "</v>\n  <name>2.22</name>\n  <changes>更快\n更稳</changes>\n";
    if (!digest.empty())
        xml += "  <sha256>" + digest + "</sha256>\n";
    return xml + "</update>\n";
}

class Updating : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(writeFile(program(), "the old program"));
        // A portable copy: the program and its catalogue in a folder of the user's.
        ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("rd.cds")), "stations"));
        qputenv("CORVINATONE_SERVER", server.url("").toUtf8());
    }
    void TearDown() override { PrivateHome::keepOffline(); }

    QString program() const { return dir.filePath(QStringLiteral("corvinatone")); }
    QString aside() const { return dir.filePath(QStringLiteral("corvinatone.old")); }
    void check() {
        update.checkupdate();
        ASSERT_TRUE(waitFor([this] { return !update.busy(); }, 20000));
    }
    // Presses 更新 in the window the check offered; true when the program was replaced.
    bool press() {
        std::optional<bool> replaced;
        update.Button1Click(*offered, {}, [&](bool ok) { replaced = ok; });
        waitFor([&] { return replaced.has_value(); }, 20000);
        return replaced.value_or(false);
    }

    QTemporaryDir dir;
    LoopbackHttpServer server;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    Downloads downloads;
    int runsEnded = 0;
    std::optional<UpdateDescriptor> offered;
    ProgramUpdate update{{.downloads = downloads,
                          .dialogs = dialogs,
                          .desktop = desktop,
                          .folder = dir.path(),
                          .programFile = program(),
                          .endRun = [this] { ++runsEnded; }},
                         {.offer = [this](const UpdateDescriptor& d) { offered = d; }}};
    // A program for this machine: any executable of this system will do.
    const QByteArray newProgram = readFile(QStringLiteral("/bin/true"));
};

}  // namespace

TEST_F(Updating, TheSameVersionSaysSoAndANewerOneIsOffered) {
    EXPECT_EQ(ProgramUpdate::runningVersion(), 221);
    server.addFile("/update.xml", "text/xml", descriptor("221"));
    check();
    EXPECT_FALSE(offered);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("您当前使用的是最新版本！"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("update.xml"))));

    server.addFile("/update.xml", "text/xml", descriptor("222"));
    check();
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->value(1), QStringLiteral("2.22"));
    EXPECT_EQ(offered->value(2), QStringLiteral("更快\n更稳"));
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("update.xml"))));
}

TEST_F(Updating, ABrokenDescriptorSaysSoAndAMissingOneNothing) {
    check();  // nothing served
    EXPECT_TRUE(dialogs.shown.isEmpty());
    for (const std::string& body : {std::string("<update/>"), descriptor("soon")}) {
        server.addFile("/update.xml", "text/xml", body);
        check();
        EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("更新出错,请检查是否联网或稍后再试！"));
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("update.xml"))));
    }
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_FALSE(offered);
}

TEST_F(Updating, UpdatePutsTheNewProgramInPlaceAndTheOldOneAside) {
    const std::string digest =
        QCryptographicHash::hash(newProgram, QCryptographicHash::Sha256).toHex().toStdString();
    server.addFile("/update.xml", "text/xml", descriptor("222", digest));
    server.addFile("/Corvinatone.exe", "application/octet-stream", newProgram.toStdString());
    check();
    ASSERT_TRUE(offered);
    ASSERT_TRUE(press());
    EXPECT_EQ(readFile(program()), newProgram);
    EXPECT_TRUE(QFileInfo(program()).isExecutable());
    EXPECT_EQ(readFile(aside()), QByteArray("the old program"));
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("更新成功,请重新开启程序。"));
    EXPECT_EQ(runsEnded, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"corvinatone", "corvinatone.old", "rd.cds"}));

    // A descriptor without a digest still updates.
    ASSERT_TRUE(writeFile(program(), "the old program"));
    server.addFile("/update.xml", "text/xml", descriptor("222"));
    offered.reset();
    check();
    ASSERT_TRUE(offered);
    EXPECT_TRUE(press());
    EXPECT_EQ(readFile(program()), newProgram);
}

TEST_F(Updating, WhatIsNotTheRightProgramReplacesNothing) {
    // A wrong digest, and a body that is no program for this machine.
    const std::string wrong(64, 'a');
    for (const auto& [digest, body] : {std::pair{wrong, newProgram.toStdString()},
                                       std::pair{std::string(), std::string("<html>")}}) {
        server.addFile("/update.xml", "text/xml", descriptor("222", digest));
        server.addFile("/Corvinatone.exe", "application/octet-stream", body);
        check();
        ASSERT_TRUE(offered);
        EXPECT_FALSE(press());
        EXPECT_EQ(readFile(program()), QByteArray("the old program"));
        EXPECT_FALSE(QFileInfo::exists(aside()));
        EXPECT_EQ(dialogs.shown.last().icon, Dialogs::Icon::error);
        offered.reset();
    }
    EXPECT_EQ(runsEnded, 0);
    // Cut short: fewer bytes than announced.
    EXPECT_FALSE(
        ProgramUpdate::install(newProgram.left(100), newProgram.size(), std::nullopt, program())
            .isEmpty());
    EXPECT_EQ(readFile(program()), QByteArray("the old program"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"corvinatone", "rd.cds"}));
}

TEST_F(Updating, AnInstalledProgramSendsTheUserToTheDownloadPage) {
    // A folder that cannot be written, and one without the program's catalogue (/usr/bin).
    QTemporaryDir shared;
    const QString sharedProgram = shared.filePath(QStringLiteral("corvinatone"));
    ASSERT_TRUE(writeFile(sharedProgram, "the installed program"));
    for (const QString& file : {QStringLiteral("/proc/corvinatone"), sharedProgram}) {
        ProgramUpdate installed{{.downloads = downloads,
                                 .dialogs = dialogs,
                                 .desktop = desktop,
                                 .folder = dir.path(),
                                 .programFile = file,
                                 .endRun = [] {}},
                                {.offer = [](const UpdateDescriptor&) {}}};
        std::optional<bool> replaced;
        installed.Button1Click(
            *UpdateDescriptor::parse(QByteArray::fromStdString(descriptor("222"))), {},
            [&](bool ok) { replaced = ok; });
        EXPECT_EQ(replaced, false);
        EXPECT_TRUE(desktop.opened.last().toString().endsWith(QStringLiteral("/download.html")));
    }
    EXPECT_EQ(server.requests(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(readFile(sharedProgram), QByteArray("the installed program"));
    EXPECT_EQ(QDir(shared.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"corvinatone"});
}
