// SPDX-License-Identifier: GPL-3.0-or-later
// Yardsticks for bench/startup: a minimal Qt 6 main window ("minimal window"); given a CSV file,
// the window lists the first column of every line in a QListView, as the least any program
// showing those rows must do.
#include <QApplication>
#include <QFile>
#include <QListView>
#include <QMainWindow>
#include <QStringListModel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("minimal window"));
    QStringListModel model;
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        QStringList names;
        while (!file.atEnd())
            names << QString::fromUtf8(file.readLine()).section(u',', 0, 0);
        model.setStringList(names);
        auto* view = new QListView(&window);
        view->setUniformItemSizes(true);
        view->setModel(&model);
        window.setCentralWidget(view);
    }
    window.resize(819, 577);
    window.show();
    return app.exec();
}
