// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTime>

class IniFile;

// The user's options, named after their keys in "option.ini". Every part reads the value in
// effect from here when it needs it. The signals let the windows follow a load.
class OptionsStore : public QObject {
    Q_OBJECT

  public:
    static constexpr int kNoSelection = -1;
    static constexpr int kFirstMuteKeyCode = 113;  // F2; F3 is 114 … F12 is 123

    explicit OptionsStore(QString path, QObject* parent = nullptr);

    const QString& path() const { return path_; }

    // Reads every key, each falling back to the value in effect; a missing file gives those.
    void loadini();
    // Writes every key in its fixed order; throws FileWriteError, leaving the file as it was.
    void saveini() const;

    // The caption of a power action (0 shut down, 1 standby, 2 hibernate); empty for none.
    static QString powerActionCaption(int kind);
    // What the status panel shows: the armed power action, or that there is none.
    QString remindText() const;
    // Applies a mute selection (0 to 10, or none) and derives muteHotKey from it.
    void setMute(int selection);

    bool mission = false;
    int mute = kNoSelection;  // selection 0 (F2) to 10 (F12), or none
    int muteHotKey = 0;       // virtual-key code of the mute hot key; 0 registers none
    int style = 0;            // 0 Mp3, 1 Wma, or none
    bool play = false;
    QString db = QStringLiteral("20121202");
    QString record;
    bool update = false;
    bool updatedb = true;
    bool close = false;
    bool open = false;
    int kind = 0;  // power action, or none
    QTime time = QTime(0, 0, 0);

  signals:
    void missionChanged(bool mission);
    // The text for the last panel of the main window's status bar, as read.
    void remindLoaded(const QString& text);
    // A valid format was read (0 Mp3, 1 Wma).
    void styleSelected(int style);
    // loadini has read every key.
    void loaded();

  private:
    QString path_;
};
