// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/ViewFilter.h"

namespace {

char16_t foldCase(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

// Whether text begins with a case-folded prefix, ignoring case. Characters are compared as they
// stand first and folded only where they differ, which decides almost every row at its first
// character. Surrogate pairs take Qt's full comparison.
bool startsWithFolded(QStringView text, QStringView folded) {
    if (text.size() < folded.size())
        return false;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = text[i];
        if (c == folded[i])
            continue;
        if (c.isSurrogate() || folded[i].isSurrogate())
            return text.startsWith(folded, Qt::CaseInsensitive);
        if (foldCase(c.unicode()) != folded[i].unicode())
            return false;
    }
    return true;
}

// Case folding keeps the length in UTF-16 units, so texts of other lengths never match.
bool equalsFolded(QStringView text, QStringView folded) {
    return text.size() == folded.size() && startsWithFolded(text, folded);
}

}  // namespace

Field ViewFilter::field() const {
    switch (kind_) {
        case Kind::categoryEquals:
            return Field::category;
        case Kind::favouriteEquals:
            return Field::favourite;
        case Kind::planTypeNotEmpty:
            return Field::planType;
        case Kind::countryEquals:
            return Field::country;
        case Kind::none:
        case Kind::nameBeginsWith:
            break;
    }
    return Field::stationName;
}

bool ViewFilter::matchesText(QStringView text) const {
    switch (kind_) {
        case Kind::none:
            return true;
        case Kind::planTypeNotEmpty:
            return !text.isEmpty();
        case Kind::nameBeginsWith:
            return startsWithFolded(text, folded_);
        case Kind::categoryEquals:
        case Kind::favouriteEquals:
        case Kind::countryEquals:
            return equalsFolded(text, folded_);
    }
    return false;
}
