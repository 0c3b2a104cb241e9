// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting/IniFile.h"

#include "platform/AtomicFile.h"

#include <QFile>

namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

bool isSectionHeader(const QString& line) {
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
}

QString sectionName(const QString& line) {
    const QString t = line.trimmed();
    return t.mid(1, t.size() - 2).trimmed();
}

// Splits "key=value"; a comment or a line without "=" has no key.
std::optional<std::pair<QString, QString>> keyValue(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    return std::pair(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
}

}  // namespace

IniFile IniFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

IniFile IniFile::fromBytes(const QByteArray& bytes) {
    IniFile ini;
    ini.bom_ = bytes.startsWith(kBom);
    QString body = QString::fromUtf8(ini.bom_ ? bytes.mid(kBom.size()) : bytes);
    if (body.contains(QLatin1String("\r\n")))
        ini.eol_ = QStringLiteral("\r\n");
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (body.endsWith(QLatin1Char('\n')))
        body.chop(1);
    if (!body.isEmpty())
        ini.lines_ = body.split(QLatin1Char('\n'));
    return ini;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (isSectionHeader(lines_[i]) &&
            sectionName(lines_[i]).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::sectionEnd(int header) const {
    int end = header + 1;
    while (end < lines_.size() && !isSectionHeader(lines_[end]))
        ++end;
    return end;
}

int IniFile::findKey(int header, const QString& key) const {
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const auto kv = keyValue(lines_[i]);
        if (kv && kv->first.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const int header = findSection(section);
    const int line = header < 0 ? -1 : findKey(header, key);
    if (line < 0)
        return std::nullopt;
    return keyValue(lines_[line])->second;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& rawValue) {
    // A line break would end the value and start a line of its own.
    QString value = rawValue;
    value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    int header = findSection(section);
    if (header < 0) {
        if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty())
            lines_.append(QString());
        lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
        header = int(lines_.size()) - 1;
    }
    const int line = findKey(header, key);
    if (line >= 0) {
        lines_[line] = keyValue(lines_[line])->first + QLatin1Char('=') + value;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    int at = sectionEnd(header);
    while (at > header + 1 && lines_[at - 1].trimmed().isEmpty())
        --at;
    lines_.insert(at, key + QLatin1Char('=') + value);
}

QByteArray IniFile::toBytes() const {
    QString text;
    for (const QString& line : lines_)
        text += line + eol_;
    return (bom_ ? kBom : QByteArray()) + text.toUtf8();
}

void IniFile::save(const QString& path) const {
    writeFileAtomically(path, toBytes());
}
