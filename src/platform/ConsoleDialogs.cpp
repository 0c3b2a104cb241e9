// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ConsoleDialogs.h"

void ConsoleDialogs::message(const QString& title, const QString& text, Icon) {
    QString line = title + QStringLiteral(": ") + text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(out_, "%s\n", line.toUtf8().constData());
    std::fflush(out_);
}

bool ConsoleDialogs::confirm(const QString& title, const QString& text) {
    message(title, text, Icon::none);
    return true;
}
