// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrayMenu.h"

#include "app/AppTexts.h"
#include "app/TForm1Ui.h"

#include <QMenu>

TrayMenu::TrayMenu(Actions actions, QWidget* parent)
    : QObject(parent), actions_(std::move(actions)), menu_(new QMenu(parent)) {
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    const auto item = [this](QMenu* menu, const QString& text, const std::function<void()>& run,
                             const char* name = nullptr) {
        QAction* action = menu->addAction(text, this, [run] { run(); });
        if (name)
            action->setObjectName(QLatin1String(name));
        return action;
    };
    item(menu_, AppTexts::trayShow(), actions_.show);
    item(menu_, AppTexts::trayTimeSync(), actions_.timeSync);
    item(menu_, AppTexts::trayUpdateNow(), actions_.updateNow);
    menu_->addSeparator();
    QMenu* presets = menu_->addMenu(AppTexts::trayPresets());
    const char* names[] = {"N111", "N29", "N32", "N42", "N52", "N62", "N72", "N82"};
    for (int i = 0; i < 8; ++i) {
        presetItems_[size_t(i)] = presets->addAction(TForm1Ui::badge(i + 1), QString(), this,
                                                     [this, i] { actions_.playPreset(i + 1); });
        presetItems_[size_t(i)]->setObjectName(QLatin1String(names[i]));
    }
    QMenu* volume = menu_->addMenu(AppTexts::trayVolume());
    item(volume, AppTexts::trayVolumeUp(), actions_.volumeUp, "N15");
    item(volume, AppTexts::trayVolumeDown(), actions_.volumeDown, "N18");
    QAction* mute = volume->addAction(AppTexts::trayMute());
    mute->setShortcut(QKeySequence(Qt::Key_F2));
    mute->setShortcutContext(Qt::WidgetShortcut);  // shows "F2"; the hot key itself is global
    QMenu* playback = menu_->addMenu(AppTexts::trayPlayback());
    item(playback, AppTexts::trayPlay(), actions_.play);
    item(playback, AppTexts::trayStop(), actions_.stop);
    playback->addSeparator();
    item(playback, AppTexts::trayPrevious(), actions_.previous, "N23");
    item(playback, AppTexts::trayNext(), actions_.next, "N24");
    item(menu_, AppTexts::trayRandom(), actions_.random);
    menu_->addSeparator();
    item(menu_, AppTexts::traySettings(), actions_.settings);
    item(menu_, AppTexts::traySponsor(), actions_.sponsor);
    menu_->addSeparator();
    item(menu_, AppTexts::trayExit(), actions_.exit, "N2");
    connect(menu_, &QMenu::aboutToShow, this, [this] { actions_.aboutToShow(); });
}

void TrayMenu::setPresetCaption(int slot, const QString& caption) {
    presetItems_[size_t(slot - 1)]->setText(caption);
}
