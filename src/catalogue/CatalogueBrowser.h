// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/StationRow.h"

#include <QString>

#include <functional>

class Dialogs;
class StationTable;

// Finding stations: the genre tree, the name and country search, a row click's favourite look and
// the column-title sort. Each sets the station table's view; the window shows what is here.
class CatalogueBrowser {
  public:
    // nodeCode of the tree's fixed nodes; genre nodes are 0 to 56.
    static constexpr int kRoot = 100;
    static constexpr int kFavourites = 101;
    static constexpr int kUserDefined = 102;
    static constexpr int kGenres = 103;
    static constexpr int kTasks = 104;

    enum class EditorMode { add, modify };
    enum class FavouriteLook { plain, marked };

    struct Hooks {
        std::function<void()> selectRoot;  // select "所有电台" (runs TreeView1Change again)
        std::function<void()> focusStationList;
    };

    CatalogueBrowser(StationTable& table, Dialogs& dialogs, Hooks hooks);

    static QString rootCaption();          // "所有电台"
    static QString genreHint(int code);    // empty for genres without a description
    static QString userDefinedCategory();  // "用户自定义"

    // The tree's selection changed to the node with this code.
    void TreeView1Change(int code);
    // The search box's text changed.
    void ComboBox1Change(const QString& text);
    // "按电台" (false) or "按国家" (true); applies from the next text change.
    void setSearchByCountry(bool byCountry) { byCountry_ = byCountry; }
    bool searchByCountry() const { return byCountry_; }
    // A row click: the favourite button's look follows the current row.
    void rowClicked();
    // The favourite button: toggles the mark of the current row and saves at once.
    void ToolButton6Click();
    // A column title click: ascending by that column, kept across filter changes.
    void DBGrid1TitleClick(Field field);

    int selectedCode() const { return selectedCode_; }
    int page() const { return page_; }  // 0 station list, 1 task list
    // The root's caption: "所有电台", with the current number of rows once the root was selected.
    QString rootText() const;
    const QString& stationListHint() const { return stationListHint_; }
    const QString& taskListHint() const { return taskListHint_; }
    EditorMode stationEditorMode() const { return stationEditorMode_; }
    QString stationEditorHint() const;
    EditorMode taskEditorMode() const { return taskEditorMode_; }
    QString taskEditorHint() const;
    FavouriteLook favouriteLook() const { return favouriteLook_; }
    QString favouriteHint() const;

  private:
    void emptyViewGoesBack();

    StationTable& table_;
    Dialogs& dialogs_;
    Hooks hooks_;
    bool byCountry_ = false;
    int selectedCode_ = -1;
    int page_ = 0;
    bool rootCounted_ = false;
    QString stationListHint_;
    QString taskListHint_;
    EditorMode stationEditorMode_ = EditorMode::add;
    EditorMode taskEditorMode_ = EditorMode::add;
    FavouriteLook favouriteLook_ = FavouriteLook::plain;
};
