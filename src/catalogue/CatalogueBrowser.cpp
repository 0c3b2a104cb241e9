// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/CatalogueBrowser.h"

#include "AppInfo.h"
#include "catalogue/CatalogueLists.h"
#include "catalogue/CatalogueTexts.h"
#include "catalogue/StationTable.h"
#include "platform/Dialogs.h"

namespace {

const QString kFavouriteMark = QStringLiteral("★");

}  // namespace

CatalogueBrowser::CatalogueBrowser(StationTable& table, Dialogs& dialogs, Hooks hooks)
    : table_(table), dialogs_(dialogs), hooks_(std::move(hooks)) {}

QString CatalogueBrowser::rootCaption() {
    return CatalogueTexts::rootCaption();
}

QString CatalogueBrowser::userDefinedCategory() {
    return CatalogueTexts::userDefinedCategory();
}

QString CatalogueBrowser::genreHint(int code) {
    return CatalogueTexts::genreHint(code);
}

QString CatalogueBrowser::rootText() const {
    return rootCounted_ ? QStringLiteral("%1 (%2)").arg(rootCaption()).arg(table_.totalCount())
                        : rootCaption();
}

void CatalogueBrowser::emptyViewGoesBack() {
    dialogs_.message(AppInfo::title(), CatalogueTexts::emptyView(), Dialogs::Icon::information);
    hooks_.selectRoot();
}

void CatalogueBrowser::TreeView1Change(int code) {
    selectedCode_ = code;
    stationListHint_.clear();
    page_ = 0;
    const QStringList& genres = CatalogueLists::genreNames();
    if (code >= 0 && code < genres.size()) {
        table_.setFilter(ViewFilter::category(genres[code]));
        stationListHint_ = genreHint(code);
    } else if (code == kRoot) {
        table_.setFilter(ViewFilter::all());
        rootCounted_ = true;
    } else if (code == kFavourites) {
        table_.setFilter(ViewFilter::favourite(kFavouriteMark));
        hooks_.focusStationList();
    } else if (code == kUserDefined) {
        table_.setFilter(ViewFilter::category(userDefinedCategory()));
        hooks_.focusStationList();
    } else if (code == kGenres) {
        table_.setFilter(ViewFilter::all());
    } else if (code == kTasks) {
        page_ = 1;
        table_.setFilter(ViewFilter::tasks());
    }

    stationEditorMode_ = code == kUserDefined ? EditorMode::modify : EditorMode::add;
    if ((code == kFavourites || code == kUserDefined) && table_.viewCount() == 0)
        emptyViewGoesBack();

    if (code == kTasks) {
        taskEditorMode_ = EditorMode::modify;
        taskListHint_ = CatalogueTexts::deleteTaskHint();
        if (table_.viewCount() == 0)
            emptyViewGoesBack();
    } else {
        taskEditorMode_ = EditorMode::add;
    }
}

void CatalogueBrowser::ComboBox1Change(const QString& text) {
    if (selectedCode_ != kRoot)
        hooks_.selectRoot();
    table_.setFilter(byCountry_ ? ViewFilter::country(text) : ViewFilter::nameBeginsWith(text));
}

void CatalogueBrowser::rowClicked() {
    const QString mark = table_.text(Field::favourite);
    if (mark.isEmpty())
        favouriteLook_ = FavouriteLook::plain;
    else if (mark == kFavouriteMark)
        favouriteLook_ = FavouriteLook::marked;
}

void CatalogueBrowser::ToolButton6Click() {
    if (table_.atEnd() || table_.currentIndex() < 0)
        return;  // nothing to mark, nothing saved
    const QString mark = table_.text(Field::favourite);
    if (mark.isEmpty()) {
        table_.setText(Field::favourite, kFavouriteMark);
        favouriteLook_ = FavouriteLook::marked;
    } else if (mark == kFavouriteMark) {
        table_.setText(Field::favourite, QString());
        favouriteLook_ = FavouriteLook::plain;
    }
    table_.saveInBackground();
}

void CatalogueBrowser::DBGrid1TitleClick(Field field) {
    table_.setSortField(field);
}

QString CatalogueBrowser::stationEditorHint() const {
    return CatalogueTexts::stationEditorHint(stationEditorMode_ == EditorMode::modify);
}

QString CatalogueBrowser::taskEditorHint() const {
    return CatalogueTexts::taskEditorHint(taskEditorMode_ == EditorMode::modify);
}

QString CatalogueBrowser::favouriteHint() const {
    return CatalogueTexts::favouriteHint(favouriteLook_ == FavouriteLook::marked);
}
