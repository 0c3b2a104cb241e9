// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue the build ships: readable, byte-exact on rewrite, and fit for browsing.
#include "CatalogueText.h"
#include "catalogue/CatalogueLists.h"
#include "catalogue/StationTable.h"

#include <QFile>
#include <QSet>

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(ShippedCatalogue, ReadsRewritesAndServesEveryGenre) {
    const QString path = QStringLiteral(CORVINATONE_SHIPPED_CATALOGUE);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const CataloguePacket packet = CataloguePacket::read(bytes);
    EXPECT_EQ(packet.write(), bytes);
    EXPECT_EQ(CatalogueText::fromJsonLines(CatalogueText::toJsonLines(packet)).write(), bytes);

    StationTable table(path);
    table.loadFromFile(path);
    EXPECT_GE(table.totalCount(), 5000);
    EXPECT_LE(table.totalCount(), 15000);

    QHash<QString, int> names, categories;
    for (int i = 0; i < table.totalCount(); ++i) {
        const StationRef row = table.row(i);
        ++names[row.text(Field::stationName)];
        ++categories[row.text(Field::category)];
        EXPECT_FALSE(row.text(Field::country).isEmpty()) << i;
        EXPECT_FALSE(row.isTask()) << i;
        EXPECT_TRUE(row.text(Field::favourite).isEmpty()) << i;
        const QString url = row.text(Field::streamUrl);
        EXPECT_TRUE(url.isEmpty() || url.startsWith(QLatin1String("http://")) ||
                    url.startsWith(QLatin1String("https://")))
            << url.toStdString();
    }
    for (const char* quick :
         {"BBC World Service UK", "CNN", "Voice Of America - Chinese", "RAI Radio 1",
          "Al Jazeera Arabic", "KBS Channel 1", "FNN-News", "Europe 1", "CanalSurRadio Andalucia"})
        EXPECT_EQ(names.value(QString::fromUtf8(quick)), 1) << quick;
    for (const QString& genre : CatalogueLists::genreNames())
        EXPECT_GT(categories.value(genre), 0) << genre.toStdString();
    EXPECT_EQ(
        QSet<QString>(categories.keyBegin(), categories.keyEnd()),
        QSet<QString>(CatalogueLists::genreNames().begin(), CatalogueLists::genreNames().end()));

    // The country search finds most stations: their country is a name of its list.
    table.setFilter(ViewFilter::country(QStringLiteral("美国")));
    EXPECT_GT(table.viewCount(), 500);
    table.setFilter(ViewFilter::country(QStringLiteral("香港")));
    EXPECT_GT(table.viewCount(), 0);
}
