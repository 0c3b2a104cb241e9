#include "app/TForm1.h"

#include "app/AppTexts.h"

#include <QDir>
#include <QLabel>

TForm1::TForm1(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), table_(QDir(programFolder).filePath(QStringLiteral("rd.cds"))) {
    setWindowTitle(AppTexts::appTitle());
    table_.loadFromFile(table_.savePath());
    table_.snapshotForScheduler(snapshot_);

    countLabel_ = new QLabel(table_.stationCountText(), this);
    countLabel_->setObjectName(QStringLiteral("countLabel"));
    countLabel_->setAlignment(Qt::AlignCenter);
    setCentralWidget(countLabel_);
    setFixedSize(819, 577);
}
