// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueStats.h"

#include "catalogue/StationTable.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace {

struct Tally {
    QHash<QString, int> counts;

    void add(const QString& value) { ++counts[value]; }
    // "N (a 10, b 7, …)" with the most frequent first; ties in name order.
    QString summary(int top) const {
        if (counts.isEmpty())
            return QStringLiteral("0");
        std::vector<std::pair<QString, int>> items(counts.keyValueBegin(), counts.keyValueEnd());
        std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
            return a.second != b.second ? a.second > b.second : a.first < b.first;
        });
        QStringList shown;
        for (size_t i = 0; i < items.size() && int(i) < top; ++i)
            shown << QStringLiteral("%1 %2")
                         .arg(items[i].first.isEmpty() ? QStringLiteral("(empty)") : items[i].first)
                         .arg(items[i].second);
        if (items.size() > size_t(top))
            shown << QStringLiteral("…");
        return QStringLiteral("%1 (%2)").arg(items.size()).arg(shown.join(QStringLiteral(", ")));
    }
};

QString scheme(const QString& url) {
    if (url.isEmpty())
        return QString();
    for (const char* s : {"http://", "https://", "mms://"})
        if (url.startsWith(QLatin1String(s), Qt::CaseInsensitive))
            return QLatin1String(s);
    return QStringLiteral("other");
}

}  // namespace

QString catalogueStats(const StationTable& table) {
    Tally countries, categories, bitRates, schemes, planTypes;
    qsizetype longestName = 0, longestUrl = 0;
    int favourites = 0, starts = 0, ends = 0, actions = 0, periods = 0, intervals = 0;
    for (int i = 0; i < table.totalCount(); ++i) {
        const StationRef row = table.row(i);
        countries.add(row.text(Field::country));
        categories.add(row.text(Field::category));
        bitRates.add(row.text(Field::bitRate));
        schemes.add(scheme(row.text(Field::streamUrl)));
        longestName = std::max(longestName, row.textView(Field::stationName).size());
        longestUrl = std::max(longestUrl, row.textView(Field::streamUrl).size());
        favourites += !row.text(Field::favourite).isEmpty();
        if (row.isTask())
            planTypes.add(row.text(Field::planType));
        starts += row.dateTime(Field::startTime).has_value();
        ends += row.dateTime(Field::endTime).has_value();
        actions += !row.text(Field::finishAction).isEmpty();
        periods += !row.text(Field::period).isEmpty();
        intervals += row.integer(Field::intervalSeconds).has_value();
    }
    QStringList lines;
    lines << QStringLiteral("rows: %1").arg(table.totalCount())
          << QStringLiteral("countries: %1").arg(countries.summary(10))
          << QStringLiteral("categories: %1").arg(categories.summary(100))
          << QStringLiteral("bit-rate labels: %1").arg(bitRates.summary(10))
          << QStringLiteral("addresses: %1; longest %2 characters")
                 .arg(schemes.summary(4))
                 .arg(longestUrl)
          << QStringLiteral("names: longest %1 characters").arg(longestName)
          << QStringLiteral("favourites: %1").arg(favourites)
          << QStringLiteral(
                 "tasks: %1; start time %2, end time %3, finish action %4, period %5, "
                 "interval %6")
                 .arg(planTypes.summary(10))
                 .arg(starts)
                 .arg(ends)
                 .arg(actions)
                 .arg(periods)
                 .arg(intervals);
    return lines.join(u'\n') + u'\n';
}
