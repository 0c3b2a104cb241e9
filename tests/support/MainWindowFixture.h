// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real main window, offscreen, with fake services and a catalogue of five stations.
#include "app/TForm1.h"
#include "app/TForm1Ui.h"
#include "setting/TForm2.h"
#include "support/FakeAutostart.h"
#include "support/FakeWindowServices.h"
#include "support/TestHelpers.h"

#include <QFile>
#include <QRect>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

class MainWindow : public ::testing::Test, protected FakeWindowServices {
  protected:
    void SetUp() override {
        StationTable table(folder.filePath(QStringLiteral("rd.cds")));
        const auto add = [&](const char* name, const char* country, const char* category) {
            table.append(StationRow::station(
                QString::fromUtf8(name), QString::fromUtf8(country), QString::fromUtf8(category),
                QStringLiteral("128kbps"), QStringLiteral("http://h/") + QString::fromUtf8(name)));
        };
        add("Radio One", "美国", "新闻");
        add("RADIO Two", "英国", "摇滚乐");
        add("My radio", "美国", "新闻");
        add("radio three", "法国", "爵士乐");
        add("Jazz FM", "英国", "爵士乐");
        table.commitAndSave();
        writeOptions("");
        window = std::make_unique<TForm1>(folder.path(), windowServices(folder.path()));
        window->setOptionsWindow([this](QWidget* parent) {
            return new TForm2({.options = window->core().options(),
                               .dialogs = dialogs,
                               .desktop = desktop,
                               .autostart = autostart,
                               .powerTimer = [this](bool on) { window->powerTimerOn(on); }},
                              parent);
        });
        window->show();
    }

    // option.ini with an existing recording folder (else every show asks for one) and more lines.
    void writeOptions(const QByteArray& lines) {
        ASSERT_TRUE(writeFile(folder.filePath(QStringLiteral("option.ini")),
                              "[info]\nrecord=" + QFile::encodeName(folder.path()) + "\n" + lines));
    }
    const TForm1Ui& ui() const { return window->ui(); }
    // The options window, made at its first opening (here, if not yet).
    TForm2* options() { return window->optionsWindow(); }

    QStringList listedNames() const {
        QStringList names;
        const QAbstractItemModel* model = ui().DBGrid1->model();
        for (int r = 0; r < model->rowCount(); ++r)
            names << model->index(r, 0).data().toString();
        return names;
    }
    QTreeWidgetItem* node(const QString& text) const {
        const auto found = ui().TreeView1->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    void clickRow(int row, QTableView* view = nullptr, bool twice = false) {
        view = view ? view : ui().DBGrid1;
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }

    QTemporaryDir folder;
    FakeAutostart autostart;
    std::unique_ptr<TForm1> window;
};
