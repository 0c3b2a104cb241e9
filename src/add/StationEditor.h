// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class Desktop;
class Dialogs;
class StationTable;

// The station editor's rules: add a station of the user's own, or change or delete one.
class StationEditor {
  public:
    enum class Mode { add, modify };
    enum class Outcome { stayOpen, focusAddress, closed };

    struct Boxes {
        QString name;
        QString country;
        QString address;
    };
    struct Hooks {
        std::function<void()> countChanged;  // the options window's station count
        std::function<void()> selectRoot;    // select "所有电台"
    };

    StationEditor(StationTable& table, Dialogs& dialogs, Desktop& desktop, Mode mode, Hooks hooks);

    static QString initialAddress() { return QStringLiteral("http://"); }
    Mode mode() const { return mode_; }
    // loaddata: in modify mode the current row's name, country and address.
    Boxes loaddata() const;
    QString acceptCaption() const;
    bool deleteVisible() const { return mode_ == Mode::modify; }

    // "添加" / "修改".
    Outcome BitBtn1Click(const Boxes& boxes, bool sendToAuthor);
    // "删除": asks first; closes either way.
    Outcome Button1Click();

    // Whether an address names a scheme the player takes: "http://", "https://" or "mms://"
    // anywhere in it, letter case ignored.
    static bool addressAccepted(const QString& address);
    // The "mailto:" address that hands a new station to the maker, its subject percent-encoded.
    static QUrl mailUrl(const QString& mailAddress, const Boxes& boxes);

  private:
    StationTable& table_;
    Dialogs& dialogs_;
    Desktop& desktop_;
    Mode mode_;
    Hooks hooks_;
};
