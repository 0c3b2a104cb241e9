// SPDX-License-Identifier: GPL-3.0-or-later
#include "add/StationEditor.h"

#include "AppInfo.h"
#include "add/EditorTexts.h"
#include "catalogue/CatalogueBrowser.h"
#include "catalogue/StationTable.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "setting/ServerAddresses.h"

StationEditor::StationEditor(StationTable& table, Dialogs& dialogs, Desktop& desktop, Mode mode,
                             Hooks hooks)
    : table_(table), dialogs_(dialogs), desktop_(desktop), mode_(mode), hooks_(std::move(hooks)) {}

StationEditor::Boxes StationEditor::loaddata() const {
    if (mode_ != Mode::modify)
        return {{}, {}, initialAddress()};
    return {table_.text(Field::stationName), table_.text(Field::country),
            table_.text(Field::streamUrl)};
}

QString StationEditor::acceptCaption() const {
    return EditorTexts::acceptCaption(mode_ == Mode::modify);
}

bool StationEditor::addressAccepted(const QString& address) {
    // "https://" too: today most stations stream over it.
    for (const char* scheme : {"http://", "https://", "mms://"})
        if (address.contains(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

QUrl StationEditor::mailUrl(const QString& mailAddress, const Boxes& boxes) {
    const QString subject = boxes.name + u' ' + boxes.country + u' ' + boxes.address;
    return QUrl(QStringLiteral("mailto:%1?subject=%2")
                    .arg(mailAddress, QString::fromLatin1(QUrl::toPercentEncoding(subject))));
}

StationEditor::Outcome StationEditor::BitBtn1Click(const Boxes& boxes, bool sendToAuthor) {
    if (table_.atEnd())
        return Outcome::stayOpen;
    if (boxes.name.isEmpty() || boxes.country.isEmpty() || boxes.address.isEmpty()) {
        dialogs_.message(AppInfo::title(), EditorTexts::emptyBoxes(), Dialogs::Icon::information);
        return Outcome::stayOpen;
    }
    if (!addressAccepted(boxes.address)) {
        dialogs_.message(AppInfo::title(), EditorTexts::addressRefused(),
                         Dialogs::Icon::information);
        return Outcome::focusAddress;
    }
    if (mode_ == Mode::add) {
        table_.append(StationRow::station(boxes.name.trimmed(), boxes.country.trimmed(),
                                          CatalogueBrowser::userDefinedCategory(),
                                          QStringLiteral("32kbps"), boxes.address.trimmed()));
        if (sendToAuthor)
            desktop_.openUrl(mailUrl(ServerAddresses::makerMail(), boxes));  // failure ignored
    } else {
        table_.setText(Field::stationName, boxes.name);
        table_.setText(Field::country, boxes.country);
        table_.setText(Field::streamUrl, boxes.address);
    }
    table_.saveInBackground();
    hooks_.countChanged();
    hooks_.selectRoot();
    return Outcome::closed;
}

StationEditor::Outcome StationEditor::Button1Click() {
    if (dialogs_.confirm(AppInfo::title(), EditorTexts::confirmDelete())) {
        table_.deleteCurrent();
        table_.saveInBackground();
        hooks_.selectRoot();
    }
    hooks_.countChanged();
    return Outcome::closed;
}
