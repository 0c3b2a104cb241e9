#include "setting/TForm2.h"

#include "app/AppTexts.h"

#include <QDir>

TForm2::TForm2(const QString& programFolder, QWidget* parent)
    : QDialog(parent), options_(QDir(programFolder).filePath(QStringLiteral("option.ini"))) {
    setWindowTitle(AppTexts::appTitle());
}
