#pragma once

#include "catalogue/StationTable.h"

#include <QMainWindow>

class QLabel;

// The main window: owns the station table and the scheduler's snapshot for the whole run.
class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    // Loads the catalogue of the program folder; throws CatalogueFormatError when it is unreadable.
    explicit TForm1(const QString& programFolder, QWidget* parent = nullptr);

    StationTable& table() { return table_; }
    const SchedulerSnapshot& snapshot() const { return snapshot_; }

  private:
    StationTable table_;
    SchedulerSnapshot snapshot_;
    QLabel* countLabel_;
};
