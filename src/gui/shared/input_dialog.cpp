#include "gui/shared/input_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
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

    Prompt = new QLabel(this);
    Prompt->setObjectName(QStringLiteral("Prompt"));
    Prompt->setTextFormat(Qt::PlainText);
    Refusal = new QLabel(this);
    Refusal->setObjectName(QStringLiteral("Refusal"));
    Refusal->setTextFormat(Qt::PlainText);
    Refusal->setWordWrap(true);
    QPalette warning = Refusal->palette();
    warning.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    Refusal->setPalette(warning);
    Refusal->hide();

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
    layout->addWidget(Prompt);
    layout->addWidget(Input);
    layout->addWidget(Refusal);
    layout->addLayout(buttons);
    // As large as the body's text, no larger; not resizable.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Input->setMinimumWidth(176);
    connect(Input, &QLineEdit::textEdited, Refusal, &QWidget::hide);

    connect(OKBtn, &QPushButton::clicked, this, &TInputDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TInputDlg::CancelBtnClick);
}

const UnitRow* TInputDlg::conversionRow() const {
    return views::InputUnitRow(image_, session_.Medium, Quantity);
}

std::optional<float> TInputDlg::enter(std::uint8_t quantity, float min, float max, float value,
                                      const QString& label) {
    Label = label;
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
    const std::string min = text(DisplayMin).toStdString();
    const std::string max = text(DisplayMax).toStdString();
    setWindowTitle(QString::fromStdString(views::InputCaption(min, max)));
    Prompt->setText(QString::fromStdString(views::InputPrompt(
        text_, Label.trimmed().toStdString(), views::InputUnitName(row), min, max)));
    Refusal->hide();
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
        // Nothing that reads as a number: keep the dialog open, lose nothing,
        // and say why.
        const auto limit = [this](float v) {
            return views::FormatInputNumber(v, IntegerMode, Precision);
        };
        showRefusal(views::InputRefusal(text_, Input->text().toStdString(), limit(DisplayMin),
                                        limit(DisplayMax)));
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

void TInputDlg::showRefusal(const std::string& text) {
    Refusal->setText(QString::fromStdString(text));
    // Wrapped at the width the dialog has, so that it grows downwards.
    Refusal->setFixedWidth(std::max(Input->width(), Prompt->sizeHint().width()));
    Refusal->show();
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
