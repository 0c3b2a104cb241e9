// SPDX-License-Identifier: GPL-3.0-or-later
#include "add/TForm3.h"

#include "catalogue/CatalogueLists.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

TForm3::TForm3(StationEditor& editor, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      editor_(editor),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("TForm3"));
    setFixedSize(404, 241);
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setGeometry(0, 0, 404, 241);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    auto* header = new QLabel(panel);
    header->setGeometry(2, 2, 400, 31);
    header->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3f86cf, stop:1 #1d4f8a);"));
    sendToAuthor = new QCheckBox(QStringLiteral("同时发送给软件作者"), panel);
    sendToAuthor->setObjectName(QStringLiteral("CheckBox1"));
    sendToAuthor->setGeometry(12, 7, 200, 20);
    sendToAuthor->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    const auto label = [panel](const QString& text, int y) {
        auto* l = new QLabel(text, panel);
        l->setGeometry(24, y, 80, 22);
        return l;
    };
    label(QStringLiteral("电台名称: "), 50);
    nameBox = new QLineEdit(panel);
    nameBox->setObjectName(QStringLiteral("LabeledEdit1"));
    nameBox->setGeometry(104, 50, 270, 22);
    label(QStringLiteral("电台国家:"), 84);
    countryBox = new QComboBox(panel);
    countryBox->setObjectName(QStringLiteral("ComboBox1"));
    countryBox->setEditable(true);
    countryBox->setInsertPolicy(QComboBox::NoInsert);
    countryBox->addItems(CatalogueLists::editorCountries());
    countryBox->setGeometry(104, 84, 150, 22);
    label(QStringLiteral("电台地址: "), 118);
    addressBox = new QLineEdit(StationEditor::initialAddress(), panel);
    addressBox->setObjectName(QStringLiteral("LabeledEdit2"));
    addressBox->setGeometry(104, 118, 270, 22);
    addressBox->installEventFilter(this);
    auto* note = new QLabel(QStringLiteral("(暂时只支持开头为http://  mms://的地址）"), panel);
    note->setGeometry(104, 144, 290, 20);
    note->setStyleSheet(QStringLiteral("color: #5a6470;"));

    Button1 = new QPushButton(QStringLiteral("删除"), panel);
    Button1->setGeometry(104, 192, 80, 28);
    BitBtn1 = new QPushButton(editor.acceptCaption(), panel);
    BitBtn1->setGeometry(200, 192, 80, 28);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("关闭"), panel);
    BitBtn2->setGeometry(294, 192, 80, 28);
    for (auto [button, handler] :
         {std::pair{Button1, &TForm3::Button1Click}, std::pair{BitBtn1, &TForm3::BitBtn1Click},
          std::pair{BitBtn2, &TForm3::BitBtn2Click}})
        connect(button, &QPushButton::clicked, this,
                [this, handler] { reportFailures(dialogs_, [&] { (this->*handler)(); }); });
    FormShow();
}

void TForm3::FormShow() {
    sendToAuthor->setChecked(true);
    const StationEditor::Boxes boxes = editor_.loaddata();
    if (editor_.mode() == StationEditor::Mode::modify) {
        nameBox->setText(boxes.name);
        countryBox->setEditText(boxes.country);
        addressBox->setText(boxes.address);
    } else {
        countryBox->setEditText(QString());
    }
    BitBtn1->setText(editor_.acceptCaption());
    Button1->setVisible(editor_.deleteVisible());
}

void TForm3::BitBtn1Click() {
    const StationEditor::Outcome outcome =
        editor_.BitBtn1Click({.name = nameBox->text(),
                              .country = countryBox->currentText(),
                              .address = addressBox->text()},
                             sendToAuthor->isChecked());
    if (outcome == StationEditor::Outcome::focusAddress)
        addressBox->setFocus();
    else if (outcome == StationEditor::Outcome::closed)
        accept();
}

void TForm3::Button1Click() {
    editor_.Button1Click();
    accept();
}

void TForm3::BitBtn2Click() {
    addressBox->setText(StationEditor::initialAddress());
    reject();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // Entering the address box puts the cursor right after "http://".
    if (watched == addressBox && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, addressBox, [this] { addressBox->setCursorPosition(7); });
    return QDialog::eventFilter(watched, event);
}
