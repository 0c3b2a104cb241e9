#include "setting/TForm2.h"

#include "app/AppTexts.h"

TForm2::TForm2(OptionsStore& options, QWidget* parent) : QDialog(parent), options_(options) {
    setWindowTitle(AppTexts::appTitle());
}
