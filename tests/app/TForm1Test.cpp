#include "app/TForm1.h"
#include "catalogue/StationTable.h"
#include "setting/TForm2.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(TForm1, LoadsTheCatalogueAndItsSnapshotWhenCreated) {
    QTemporaryDir folder;
    StationTable table(folder.filePath(QStringLiteral("rd.cds")));
    StationRow task =
        StationRow::station(QStringLiteral("任务台"), QStringLiteral("中国"),
                            QStringLiteral("新闻"), QString(), QStringLiteral("http://a"));
    task.setText(Field::planType, QStringLiteral("定时播放"));
    table.append(task);
    table.append(StationRow::station(QStringLiteral("CNN"), QStringLiteral("美国"),
                                     QStringLiteral("新闻"), QString(),
                                     QStringLiteral("http://b")));
    table.commitAndSave();

    TForm1 window(folder.path());
    TForm2 options(folder.path(), &window);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Corvinatone 2.21"));
    EXPECT_EQ(window.table().totalCount(), 2);
    EXPECT_EQ(window.table().currentIndex(), 0);
    EXPECT_EQ(window.snapshot().rows.size(), 2u);
    EXPECT_TRUE(window.snapshot().rows[0].isTask());
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("countLabel"))->text(),
              QStringLiteral("当前共有电台2个"));
    EXPECT_FALSE(options.isVisible());  // created hidden
    EXPECT_EQ(options.options().path(), folder.filePath(QStringLiteral("option.ini")));
}

TEST(TForm1, RefusesAnUnreadableCatalogue) {
    QTemporaryDir folder;
    QFile damaged(folder.filePath(QStringLiteral("rd.cds")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(30, '\x01'));
    damaged.close();
    EXPECT_THROW(TForm1 window(folder.path()), CatalogueFormatError);
}
