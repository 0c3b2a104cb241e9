// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window over a large catalogue, with the test services in place of the player and
// the desktop: how long the window is busy with a favourite toggle (each of six, the longest) and
// what the toggles leave in memory once their saves are done, and how long sorting by name takes
// the first time (collation keys made) and again after another sort (keys kept).
// Usage: window_at_scale CATALOGUE
#include "app/TForm1.h"
#include "app/TForm1Ui.h"
#include "support/FakeWindowServices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

double residentMb() {
    malloc_trim(0);  // what is free goes back, so only what is kept counts
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

// Milliseconds the window is busy with one action, its queued work included.
template <typename Action>
qint64 busyMs(Action action) {
    QElapsedTimer clock;
    clock.start();
    action();
    QCoreApplication::processEvents();
    return clock.elapsed();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: window_at_scale CATALOGUE\n", stderr);
        return 2;
    }
    QTemporaryDir folder;
    QFile::copy(QString::fromLocal8Bit(argv[1]), folder.filePath(QStringLiteral("rd.cds")));
    QFile ini(folder.filePath(QStringLiteral("option.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[info]\nrecord=" + QFile::encodeName(folder.path()) + "\n");
    ini.close();

    FakeWindowServices fakes;
    TForm1 window(folder.path(), fakes.windowServices(folder.path()));
    window.show();
    QTest::qWait(500);
    const TForm1Ui& ui = window.ui();
    QTableView* list = ui.DBGrid1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(3, 0)).center());
    QCoreApplication::processEvents();

    // The first save makes the saver's thread; what it keeps is part of the baseline.
    const auto toggle = [&] { QTest::mouseClick(ui.ToolButton6, Qt::LeftButton); };
    busyMs(toggle);
    busyMs(toggle);
    window.core().table().saver().wait();
    const double before = residentMb();
    qint64 longest = 0;
    for (int i = 0; i < 6; ++i)
        longest = std::max(longest, busyMs(toggle));
    window.core().table().saver().wait();
    QTest::qWait(200);
    const double after = residentMb();
    std::printf("favourite toggle: longest %lld ms of 6, memory after %+.1f MB, failures %lld\n",
                longest, after - before, qint64(fakes.dialogs.shown.size()));

    const auto sortBy = [&](int column) {
        QHeaderView* header = list->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    const qint64 first = busyMs([&] { sortBy(0); });
    busyMs([&] { sortBy(1); });
    const qint64 again = busyMs([&] { sortBy(0); });
    std::printf("sort by name: first %lld ms, again %lld ms, memory after %+.1f MB\n", first, again,
                residentMb() - after);
    return 0;
}
