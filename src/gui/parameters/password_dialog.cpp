#include "gui/parameters/password_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/connection.h"
#include "core/model/utf8_text.h"
#include "gui/shared/dialog_texts.h"

namespace parvion::gui {

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TPasswordDlg"));
    setWindowTitle(QStringLiteral("Paßwort"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QFont f(QStringLiteral("MS Sans Serif"), 8);
    f.setBold(true);
    setFont(f);

    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setMaxLength(static_cast<int>(kPasswordLength));
    Password->setEchoMode(QLineEdit::Password);
    mrOk = new QPushButton(QtButtonText(QDialogButtonBox::Ok), this);
    mrOk->setObjectName(QStringLiteral("mrOk"));
    mrOk->setDefault(true);
    CancelBtn = new QPushButton(QtButtonText(QDialogButtonBox::Cancel), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mrOk);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Password);
    layout->addLayout(buttons);
    setFixedSize(177, 93);

    connect(mrOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TPasswordDlg::CancelBtnClick);
}

QString TPasswordDlg::text() const {
    return Password->text();
}

void TPasswordDlg::setText(const QString& text) {
    Password->setText(text);
}

QString TPasswordDlg::ask() {
    Password->clear();
    exec();
    return Password->text();
}

void TPasswordDlg::FormActivate() {
    // Caption and buttons speak the language in force.
    if (text_) {
        const std::string caption = TrimText(text_(kTextPasswordCaption));
        if (!caption.empty()) setWindowTitle(QString::fromStdString(caption));
    }
    SetButtonText(mrOk, text_, kTextButtonOk, QDialogButtonBox::Ok);
    SetButtonText(CancelBtn, text_, kTextButtonCancel, QDialogButtonBox::Cancel);
    Password->setFocus();
}

void TPasswordDlg::CancelBtnClick() {
    reject();
}

// Cancel (button, Escape or the close box) means "no password": the edit is
// emptied so that nothing typed before is remembered or compared.
void TPasswordDlg::reject() {
    Password->clear();
    QDialog::reject();
}

void TPasswordDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

}  // namespace parvion::gui
