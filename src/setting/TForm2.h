#pragma once

#include <QDialog>

class OptionsStore;
class QLabel;

// The options window: created hidden at start, only hidden when closed.
class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(OptionsStore& options, QWidget* parent = nullptr);

    OptionsStore& options() { return options_; }
    // "当前共有电台N个": set at creation and after each add or delete in the station editor.
    void setStationCountText(const QString& text);
    QString stationCountText() const;

  private:
    OptionsStore& options_;
    QLabel* stationCount_;
};
