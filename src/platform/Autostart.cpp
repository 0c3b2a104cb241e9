// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Autostart.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

XdgAutostart::XdgAutostart(QString folder) : folder_(std::move(folder)) {}

QString XdgAutostart::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString XdgAutostart::execValue(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = path;
    if (std::any_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); })) {
        arg.clear();
        for (const QChar c : path) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                arg += u'\\';
            arg += c;
        }
        arg = u'"' + arg + u'"';
    }
    arg.replace(u'%', QStringLiteral("%%"));  // a lone % would start a field code
    // The value is a string first: its own escapes are undone before the quoting above.
    QString value;
    for (const QChar c : arg) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
}

QString XdgAutostart::entryPath() const {
    return folder_ + QStringLiteral("/Corvinatone.desktop");
}

bool XdgAutostart::exists() const {
    return QFileInfo::exists(entryPath());
}

bool XdgAutostart::add(const QString& executablePath) {
    if (!QDir().mkpath(folder_))
        return false;
    const QString entry =
        QStringLiteral("[Desktop Entry]\nType=Application\nName=Corvinatone\nExec=") +
        execValue(executablePath) + u'\n';
    try {
        writeFileAtomically(entryPath(), entry.toUtf8());
    } catch (const FileWriteError&) {
        return false;
    }
    return true;
}

bool XdgAutostart::remove() {
    return QFile::remove(entryPath());
}
