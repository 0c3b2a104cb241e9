// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "AppInfo.h"

#include <QCommandLineParser>
#include <QDir>
#include <QUrl>

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Corvinatone: internet radio, played and recorded"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("address"),
        QStringLiteral("A stream address or playlist file to play at once (the first of several)."),
        QStringLiteral("[address...]"));
    CommandLine line;
    // Read before the application object exists, which would name the program.
    const QString usage = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                    QStringLiteral("corvinatone"));
    if (!parser.parse(arguments)) {
        line.outcome = Outcome::usageError;
        line.output = parser.errorText() + u'\n' + usage;
        return line;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        line.outcome = Outcome::done;
        line.output = usage;
    } else if (parser.isSet(version)) {
        line.outcome = Outcome::done;
        line.output = QStringLiteral("corvinatone ") + AppInfo::version() + u'\n';
    } else if (!parser.positionalArguments().isEmpty()) {
        // A file given by its path plays as a file: address. Several (a file manager's selection)
        // play the first.
        const QString given = parser.positionalArguments().first();
        const QUrl url = QUrl::fromUserInput(given, QDir::currentPath(), QUrl::AssumeLocalFile);
        line.address = url.isLocalFile() ? url.toString(QUrl::FullyEncoded) : given;
    }
    return line;
}
