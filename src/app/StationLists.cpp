// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StationLists.h"

#include "core/RadioCore.h"

#include <QComboBox>
#include <QHeaderView>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

StationLists::StationLists(const TForm1Ui& ui, RadioCore& core, QObject* parent)
    : QObject(parent),
      ui_(ui),
      core_(core),
      stationModel_(core.table(), StationListModel::stationColumns()),
      taskModel_(core.table(), StationListModel::taskColumns()) {
    ui_.DBGrid1->setModel(&stationModel_);
    ui_.DBGrid2->setModel(&taskModel_);
    const auto showPage = [this](int page) {
        stationModel_.setShown(page == 0);
        taskModel_.setShown(page == 1);
    };
    showPage(ui_.PageControl1->currentIndex());
    connect(ui_.PageControl1, &QStackedWidget::currentChanged, this, showPage);
    for (auto [view, model] :
         {std::pair{ui_.DBGrid1, &stationModel_}, std::pair{ui_.DBGrid2, &taskModel_}})
        for (size_t i = 0; i < model->columns().size(); ++i)
            view->setColumnWidth(int(i), model->columns()[i].width);
    core_.table().setListener({.viewAboutToChange =
                                   [this] {
                                       stationModel_.viewAboutToChange();
                                       taskModel_.viewAboutToChange();
                                   },
                               .viewChanged =
                                   [this] {
                                       stationModel_.viewChanged();
                                       taskModel_.viewChanged();
                                       // Rows added or deleted: the root's count follows at once.
                                       ui_.TreeView1->topLevelItem(0)->setText(
                                           0, core_.browser().rootText());
                                   },
                               .currentChanged = [this] { selectCurrentRowInList(); }});
    wire();
}

StationLists::~StationLists() {
    core_.table().setListener({});
}

void StationLists::wire() {
    for (QTableView* view : {ui_.DBGrid1, ui_.DBGrid2}) {
        connect(view, &QTableView::clicked, this, [this](const QModelIndex& index) {
            core_.guarded([&] { DBGrid1CellClick(index); });
        });
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this](int column) { core_.guarded([&] { DBGrid1TitleClick(column); }); });
        // Keys move the current row without selecting it for play.
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex& current) {
                    if (!syncingSelection_ && current.isValid())
                        core_.table().moveTo(current.row());
                });
    }
    connect(ui_.TreeView1, &QTreeWidget::currentItemChanged, this,
            [this] { core_.guarded([this] { TreeView1Change(); }); });
    connect(ui_.ComboBox1, &QComboBox::editTextChanged, this,
            [this](const QString& text) { core_.guarded([&] { ComboBox1Change(text); }); });
    for (auto [button, byCountry] : {std::pair{ui_.RadioButton4, false}, {ui_.RadioButton5, true}})
        connect(button, &QRadioButton::clicked, this, [this, byCountry = byCountry] {
            core_.browser().setSearchByCountry(byCountry);
            ui_.ComboBox1->setFocus();
        });
}

void StationLists::selectRoot() {
    ui_.TreeView1->setCurrentItem(ui_.TreeView1->topLevelItem(0));
}

void StationLists::showAllStations() {
    ui_.PageControl1->setCurrentIndex(0);
    selectRoot();
}

void StationLists::DBGrid1CellClick(const QModelIndex& index) {
    if (index.isValid())
        core_.table().moveTo(index.row());
    core_.rowSelection();
}

void StationLists::DBGrid1TitleClick(int column) {
    const auto* model = static_cast<const StationListModel*>(
        ui_.PageControl1->currentIndex() == 0 ? ui_.DBGrid1->model() : ui_.DBGrid2->model());
    if (column >= 0 && column < int(model->columns().size()))
        core_.browser().DBGrid1TitleClick(model->columns()[size_t(column)].field);
}

void StationLists::TreeView1Change() {
    const QTreeWidgetItem* item = ui_.TreeView1->currentItem();
    if (!item)
        return;
    core_.browser().TreeView1Change(item->data(0, TForm1Ui::kNodeCodeRole).toInt());
    applyBrowser();
    // An empty view sends the browser back to the root while the click that chose the node is
    // still selecting it: the highlight is put right once that click is done.
    QMetaObject::invokeMethod(this, &StationLists::showSelectedNode, Qt::QueuedConnection);
}

void StationLists::showSelectedNode() {
    for (QTreeWidgetItemIterator it(ui_.TreeView1); *it; ++it) {
        if ((*it)->data(0, TForm1Ui::kNodeCodeRole).toInt() != core_.browser().selectedCode())
            continue;
        if (ui_.TreeView1->currentItem() != *it || !(*it)->isSelected()) {
            const QSignalBlocker quiet(ui_.TreeView1);  // the list already shows this node's view
            ui_.TreeView1->setCurrentItem(*it);
            ui_.TreeView1->viewport()->update();
        }
        return;
    }
}

void StationLists::ComboBox1Change(const QString& text) {
    core_.browser().ComboBox1Change(text);
    applyBrowser();
}

void StationLists::applyBrowser() {
    const CatalogueBrowser& browser = core_.browser();
    ui_.PageControl1->setCurrentIndex(browser.page());
    ui_.DBGrid1->setToolTip(browser.stationListHint());
    ui_.DBGrid2->setToolTip(browser.taskListHint());
    ui_.TreeView1->topLevelItem(0)->setText(0, browser.rootText());
    const bool modifyStation = browser.stationEditorMode() == CatalogueBrowser::EditorMode::modify;
    ui_.ToolButton9->setIcon(TForm1Ui::icon(modifyStation ? "station-edit" : "station-add"));
    ui_.ToolButton9->setToolTip(browser.stationEditorHint());
    const bool modifyTask = browser.taskEditorMode() == CatalogueBrowser::EditorMode::modify;
    ui_.ToolButton5->setIcon(TForm1Ui::icon(modifyTask ? "task-edit" : "task-add"));
    ui_.ToolButton5->setToolTip(browser.taskEditorHint());
    selectCurrentRowInList();
}

void StationLists::selectCurrentRowInList() {
    QTableView* view = ui_.PageControl1->currentIndex() == 0 ? ui_.DBGrid1 : ui_.DBGrid2;
    const int position = core_.table().viewPosition();
    syncingSelection_ = true;
    if (position >= 0 && position < view->model()->rowCount()) {
        const QModelIndex index = view->model()->index(position, 0);
        view->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->scrollTo(index);
    } else {
        view->selectionModel()->clear();
    }
    syncingSelection_ = false;
}
