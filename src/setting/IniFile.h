// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A small INI reader and writer that keeps the file's own lines: a key that already has a line
// keeps it (only its value changes), a new key goes to the end of its section, a new section to
// the end of the file. Section and key names ignore letter case; values are UTF-8 text taken as
// they stand (surrounding blanks trimmed, no quotes or escapes).
class IniFile {
  public:
    // A missing or unreadable file gives an empty one.
    static IniFile load(const QString& path);
    static IniFile fromBytes(const QByteArray& bytes);

    std::optional<QString> value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray toBytes() const;
    // Replaces the file atomically; throws FileWriteError.
    void save(const QString& path) const;

  private:
    // Index of the section's header line, or -1.
    int findSection(const QString& section) const;
    // Index of the key's line within the section starting at header, or -1.
    int findKey(int header, const QString& key) const;
    int sectionEnd(int header) const;

    QStringList lines_;
    QString eol_ = QStringLiteral("\n");
    bool bom_ = false;
};
