// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The system's list of programs started at log-on, as far as this program's own entry goes.
class Autostart {
  public:
    virtual ~Autostart() = default;
    virtual bool exists() const = 0;
    // Adds the entry starting executablePath; false when it cannot be written.
    virtual bool add(const QString& executablePath) = 0;
    // Removes the entry; false when none was removed.
    virtual bool remove() = 0;
};

// An XDG autostart entry, Corvinatone.desktop in $XDG_CONFIG_HOME/autostart (~/.config/autostart).
class XdgAutostart : public Autostart {
  public:
    explicit XdgAutostart(QString folder = defaultFolder());

    static QString defaultFolder();
    // The Exec value that runs path with no arguments, quoted and escaped as desktop entries
    // require.
    static QString execValue(const QString& path);

    QString entryPath() const;
    bool exists() const override;
    bool add(const QString& executablePath) override;
    bool remove() override;

  private:
    QString folder_;
};
