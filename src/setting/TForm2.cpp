#include "setting/TForm2.h"

#include "AppInfo.h"

#include <QLabel>

TForm2::TForm2(OptionsStore& options, QWidget* parent) : QDialog(parent), options_(options) {
    setWindowTitle(AppInfo::title());
    stationCount_ = new QLabel(this);
    stationCount_->setObjectName(QStringLiteral("stationCount"));
    stationCount_->setGeometry(16, 16, 300, 20);
}

void TForm2::setStationCountText(const QString& text) {
    stationCount_->setText(text);
}

QString TForm2::stationCountText() const {
    return stationCount_->text();
}
