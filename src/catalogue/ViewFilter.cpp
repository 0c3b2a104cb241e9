#include "catalogue/ViewFilter.h"

namespace {

// Case folding keeps the length in UTF-16 units, so texts of other lengths never match; the
// length check spares reading the text of almost every row.
bool equalsIgnoringCase(QStringView a, QStringView b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

bool ViewFilter::matches(const StationRow& row) const {
    switch (kind_) {
        case Kind::none:
            return true;
        case Kind::categoryEquals:
            return equalsIgnoringCase(row.textView(Field::category), text_);
        case Kind::favouriteEquals:
            return equalsIgnoringCase(row.textView(Field::favourite), text_);
        case Kind::planTypeNotEmpty:
            return !row.textView(Field::planType).isEmpty();
        case Kind::nameBeginsWith:
            return row.textView(Field::stationName).startsWith(text_, Qt::CaseInsensitive);
        case Kind::countryEquals:
            return equalsIgnoringCase(row.textView(Field::country), text_);
    }
    return false;
}
