#pragma once

#include "setting/OptionsStore.h"

#include <QDialog>

// The options window: created hidden at start, only hidden when closed; holds the options.
class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(const QString& programFolder, QWidget* parent = nullptr);

    OptionsStore& options() { return options_; }

  private:
    OptionsStore options_;
};
