// SPDX-License-Identifier: GPL-3.0-or-later
// corvinatone-cds: checks, dumps, builds, copies and measures catalogue files.
#include "CataloguePacket.h"
#include "CatalogueStats.h"
#include "CatalogueText.h"

#include "catalogue/StationTable.h"
#include "platform/AtomicFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <stdexcept>

namespace {

const char kUsage[] =
    "usage: corvinatone-cds check FILE          row count, or why the file cannot be read\n"
    "       corvinatone-cds dump FILE           rows as JSON Lines\n"
    "       corvinatone-cds build IN OUT        IN is JSON Lines, or CSV when it ends in .csv\n"
    "       corvinatone-cds copy IN OUT         read and write back\n"
    "       corvinatone-cds stats FILE          measures of a station catalogue\n";

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    return file.readAll();
}

void writeOut(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int run(const QStringList& args) {
    const QString command = args.value(0);
    const int operands =
        command == QLatin1String("build") || command == QLatin1String("copy") ? 2 : 1;
    if (args.size() != operands + 1 ||
        !QStringList{"check", "dump", "build", "copy", "stats"}.contains(command)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString in = args[1];
    if (command == QLatin1String("check")) {
        // Read as the program reads it, so that both accept and refuse the same files.
        StationTable table(in);
        table.loadFromFile(in);
        writeOut(QByteArray::number(table.totalCount()) + '\n');
    } else if (command == QLatin1String("dump")) {
        writeOut(CatalogueText::toJsonLines(CataloguePacket::read(readFile(in))));
    } else if (command == QLatin1String("build")) {
        const QByteArray text = readFile(in);
        const CataloguePacket packet = in.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)
                                           ? CatalogueText::fromCsv(text)
                                           : CatalogueText::fromJsonLines(text);
        writeFileAtomically(args[2], packet.write());
    } else if (command == QLatin1String("copy")) {
        writeFileAtomically(args[2], CataloguePacket::read(readFile(in)).write());
    } else {
        StationTable table(in);
        table.loadFromFile(in);
        writeOut(catalogueStats(table).toUtf8());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    try {
        return run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvinatone-cds: %s\n", e.what());
        return 1;
    }
}
