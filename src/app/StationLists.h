// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TForm1Ui.h"
#include "catalogue/StationListModel.h"

#include <QObject>

class QModelIndex;
class RadioCore;

// The main window's genre tree, search box and its two lists (stations and tasks): they show the
// station table's view as the catalogue browser sets it, hand the user's choices to the browser,
// and keep the list's highlighted row and the table's current row the same.
class StationLists : public QObject {
    Q_OBJECT

  public:
    StationLists(const TForm1Ui& ui, RadioCore& core, QObject* parent = nullptr);
    // The table no longer reports to the models that go with this.
    ~StationLists() override;

    // "所有电台" in the tree (the browser then shows all stations).
    void selectRoot();
    // The station page, with the tree's root.
    void showAllStations();
    // A click on a row of either list (an invalid index keeps the current row): it is selected.
    void DBGrid1CellClick(const QModelIndex& index);
    void DBGrid1TitleClick(int column);
    void TreeView1Change();
    void ComboBox1Change(const QString& text);

  private:
    void wire();
    // The list, the tree's root and the editor buttons show the browser's state.
    void applyBrowser();
    void selectCurrentRowInList();
    // Makes the tree's highlighted node the one whose view the list shows.
    void showSelectedNode();

    const TForm1Ui& ui_;
    RadioCore& core_;
    StationListModel stationModel_;
    StationListModel taskModel_;
    bool syncingSelection_ = false;
};
