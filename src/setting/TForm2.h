#pragma once

#include <QDialog>

class OptionsStore;

// The options window: created hidden at start, only hidden when closed.
class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(OptionsStore& options, QWidget* parent = nullptr);

    OptionsStore& options() { return options_; }

  private:
    OptionsStore& options_;
};
