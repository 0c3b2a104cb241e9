// SPDX-License-Identifier: GPL-3.0-or-later
// Reading, rewriting and filtering the catalogue at the shipped size (5,746 rows) and at
// 1,000,000 rows. Budgets: read ≤ 2 ms and ≤ 0.5 s, atomic rewrite ≤ 5 ms, re-filter ≤ 0.2 ms
// and ≤ 50 ms.
#include "CataloguePacket.h"
#include "catalogue/StationTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <optional>

namespace {

const QStringList kCountries = {"美国", "法国", "英国", "德国", "加拿大", "意大利", "中国", "日本"};
const QStringList kCategories = {"新闻", "流行乐", "摇滚乐", "古典乐", "爵士乐", "综合"};
const QStringList kPrefixes = {"Radio", "KBS", "BBC", "Jazz", "电台", "WXYZ", "FM", "Classic"};

// Rows shaped like the shipped catalogue: names of 10-40 characters, addresses of ~60.
CataloguePacket makePacket(int rows) {
    CataloguePacket packet;
    packet.fields = stationDescriptors();
    packet.values.reserve(size_t(rows) * kFieldCount);
    for (int i = 0; i < rows; ++i) {
        StationRow row = StationRow::station(
            QStringLiteral("%1 %2 Station")
                .arg(kPrefixes[i % kPrefixes.size()])
                .arg(i * 7919 % 100000),
            kCountries[i % kCountries.size()], kCategories[i % kCategories.size()],
            QStringLiteral("128kbps"),
            QStringLiteral("http://stream%1.example.net:8000/live/station_%2_128.mp3")
                .arg(i % 97)
                .arg(i));
        packet.values.insert(packet.values.end(), row.values.begin(), row.values.end());
    }
    return packet;
}

// One catalogue file per size, written once.
const QString& catalogueFile(int rows) {
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto it = files.find(rows);
    if (it == files.end()) {
        const QString path = dir.filePath(QStringLiteral("rd-%1.cds").arg(rows));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(makePacket(rows).write());
        it = files.emplace(rows, path).first;
    }
    return it->second;
}

void BM_ReadCatalogue(benchmark::State& state) {
    const QString& path = catalogueFile(int(state.range(0)));
    std::optional<StationTable> table;
    for (auto _ : state) {
        state.PauseTiming();
        table.reset();  // freeing the previous table is not part of reading
        state.ResumeTiming();
        table.emplace(path);
        table->loadFromFile(path);
        benchmark::DoNotOptimize(table->totalCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadCatalogue)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_RewriteCatalogue(benchmark::State& state) {
    const QString& path = catalogueFile(int(state.range(0)));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("rd.cds"));
    QFile::copy(path, target);
    StationTable table(target);
    table.loadFromFile(target);
    for (auto _ : state)
        table.commitAndSave();  // encode, temporary file, fsync, rename
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RewriteCatalogue)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_EncodeCatalogue(benchmark::State& state) {
    const CataloguePacket packet = makePacket(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(packet.write());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EncodeCatalogue)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

template <typename MakeFilter>
void refilter(benchmark::State& state, MakeFilter make) {
    const QString& path = catalogueFile(int(state.range(0)));
    StationTable table(path);
    table.loadFromFile(path);
    int i = 0;
    for (auto _ : state) {
        table.setFilter(make(i++));
        benchmark::DoNotOptimize(table.viewCount());
    }
}

void BM_FilterByNamePrefix(benchmark::State& state) {
    // Typing "radio" one key at a time, as the search box does.
    const QString typed = QStringLiteral("radio");
    refilter(state,
             [&](int i) { return ViewFilter::nameBeginsWith(typed.left(1 + i % typed.size())); });
}
BENCHMARK(BM_FilterByNamePrefix)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

void BM_FilterByCountry(benchmark::State& state) {
    refilter(state, [](int i) { return ViewFilter::country(kCountries[i % kCountries.size()]); });
}
BENCHMARK(BM_FilterByCountry)->Arg(5746)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
