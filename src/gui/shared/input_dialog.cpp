#include "gui/shared/input_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>
#include <string>

#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "core/model/units.h"
#include "core/views/input_rules.h"
#include "gui/shared/dialog_texts.h"

namespace parvion::gui {

TInputDlg::TInputDlg(const ParameterImage& image, const Session& session, QWidget* parent,
                     std::function<void()> beep)
    : QDialog(parent), image_(image), session_(session), beep_(std::move(beep)) {
    setObjectName(QStringLiteral("TInputDlg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (!beep_) beep_ = [] { QApplication::beep(); };
    QFont f = font();
    f.setPointSize(8);
    f.setBold(true);
    setFont(f);

    Input = new QLineEdit(this);
    Input->setObjectName(QStringLiteral("Input"));
    Input->setMaxLength(views::kInputMaxLength);
    Input->setContextMenuPolicy(Qt::NoContextMenu);  // no paste around the key filter
    Input->installEventFilter(this);
    OKBtn = new QPushButton(QtButtonText(QDialogButtonBox::Ok), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    OKBtn->setAutoDefault(true);
    CancelBtn = new QPushButton(QtButtonText(QDialogButtonBox::Cancel), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Input);
    layout->addLayout(buttons);
    setFixedSize(176, 83);

    connect(OKBtn, &QPushButton::clicked, this, &TInputDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TInputDlg::CancelBtnClick);
}

const UnitRow* TInputDlg::conversionRow() const {
    return views::InputUnitRow(image_, session_.Medium, Quantity);
}

std::optional<float> TInputDlg::enter(std::uint8_t quantity, float min, float max, float value) {
    Quantity = quantity;
    IntegerMode = false;
    Precision = 5;
    MinValue = min;
    MaxValue = max;
    Value = value;
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Value;
}

void TInputDlg::FormActivate() {
    // The buttons speak the language in force.
    SetButtonText(OKBtn, text_, kTextButtonOk, QDialogButtonBox::Ok);
    SetButtonText(CancelBtn, text_, kTextButtonCancel, QDialogButtonBox::Cancel);
    const UnitRow* row = conversionRow();
    DisplayValue = ToDisplayUnit(row, Value);
    DisplayMin = ToDisplayUnit(row, MinValue);
    DisplayMax = ToDisplayUnit(row, MaxValue);
    const auto text = [this](float v) {
        return QString::fromStdString(views::FormatInputNumber(v, IntegerMode, Precision));
    };
    Input->setText(text(DisplayValue));
    Input->setFocus();
    Input->selectAll();
    setWindowTitle(QString::fromStdString(
        views::InputCaption(text(DisplayMin).toStdString(), text(DisplayMax).toStdString())));
    Cancelled = false;
    Accepted = {};
}

bool TInputDlg::InputKeyPress(QChar key) {
    const char c = key.unicode() < 128 ? static_cast<char>(key.unicode()) : '\0';
    const std::string text = Input->text().toStdString();
    const auto selected = static_cast<std::size_t>(Input->selectedText().size());
    const std::optional<char> accepted = views::FilterInputKey(c, text, selected, Precision);
    if (!accepted) return true;  // swallowed
    if (*accepted == views::kBackspace) return false;
    Input->insert(QString(QChar(*accepted)));
    return true;
}

void TInputDlg::OKBtnClick() {
    const std::optional<float> entry = views::ParseInputNumber(Input->text().toStdString());
    if (!entry) {
        // Nothing that reads as a number: keep the dialog open, lose nothing.
        beep_();
        Input->setFocus();
        Input->selectAll();
        return;
    }
    const views::AcceptedInput accepted = views::AcceptInputValue(
        *entry, {DisplayMin, DisplayMax, MinValue, MaxValue}, conversionRow());
    if (accepted.beep) beep_();
    Accepted = accepted;
    Value = accepted.baseValue;
    accept();
}

std::string TInputDlg::clampedText(std::string_view name) const {
    return views::ClampedInputText(text_, name, Accepted, conversionRow(), Precision);
}

void TInputDlg::CancelBtnClick() {
    Cancelled = true;
    reject();
}

void TInputDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TInputDlg::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->isAutoRepeat()) {
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        CancelBtn->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TInputDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Input && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                // A held Enter that opened the dialog does not also accept it.
                return key->isAutoRepeat();
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                return false;
            case Qt::Key_Escape:
                CancelBtn->click();  // Escape is the cancel button
                return true;
            default:
                break;
        }
        if (key->matches(QKeySequence::Paste)) return true;
        const QString text = key->text();
        // Arrows, Home, ... have no text; Delete has "\x7f" on some
        // platforms. Neither is a typed character.
        if (text.isEmpty() || text.at(0) == QChar(0x7f)) return false;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            // Copy and select-all stay; every other control character is swallowed.
            return !(key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll));
        }
        return InputKeyPress(text.at(0));
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace parvion::gui
