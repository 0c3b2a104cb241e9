// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/StationRow.h"

// The one row predicate of the station table's view. Letter case is ignored in every
// comparison; null and empty text are equal.
class ViewFilter {
  public:
    enum class Kind {
        none,              // all rows
        categoryEquals,    // 电台类别 = 'text'
        favouriteEquals,   // 收藏 = 'text'
        planTypeNotEmpty,  // 计划类型 <> ''
        nameBeginsWith,    // 电台名称 ='text*', the text taken literally
        countryEquals,     // 电台国家='text'
    };

    ViewFilter() = default;
    static ViewFilter all() { return {}; }
    static ViewFilter category(const QString& text) { return {Kind::categoryEquals, text}; }
    static ViewFilter favourite(const QString& text) { return {Kind::favouriteEquals, text}; }
    static ViewFilter tasks() { return {Kind::planTypeNotEmpty, {}}; }
    static ViewFilter nameBeginsWith(const QString& text) { return {Kind::nameBeginsWith, text}; }
    static ViewFilter country(const QString& text) { return {Kind::countryEquals, text}; }

    Kind kind() const { return kind_; }
    const QString& text() const { return text_; }
    // Whether a row (anything with textView(Field)) is in the view.
    template <typename Row>
    bool matches(const Row& row) const {
        return kind_ == Kind::none || matchesText(row.textView(field()));
    }
    bool operator==(const ViewFilter& other) const {
        return kind_ == other.kind_ && text_ == other.text_;
    }

  private:
    // The one field each kind looks at.
    Field field() const;
    bool matchesText(QStringView text) const;

    ViewFilter(Kind kind, const QString& text)
        : kind_(kind), text_(text), folded_(text.toCaseFolded()) {}

    Kind kind_ = Kind::none;
    QString text_;
    QString folded_;  // text_ case-folded once, not again for every row
};
