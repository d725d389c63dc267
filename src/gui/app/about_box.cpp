#include "gui/app/about_box.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

#include "core/model/windows1252.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

// The product picture: the front of the flow computer.
QPixmap productPicture() {
    QPixmap pix(258, 211);
    pix.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(0xE8, 0xE8, 0xE4));
    p.drawRoundedRect(QRectF(24, 18, 210, 175), 10, 10);
    p.setBrush(QColor(0x1E, 0x3A, 0x28));
    p.drawRect(QRectF(44, 38, 170, 52));
    p.setPen(QColor(0x9C, 0xF0, 0x9C));
    p.setFont(QFont(QStringLiteral("Liberation Mono"), 11, QFont::Bold));
    p.drawText(QRectF(44, 38, 170, 26), Qt::AlignCenter, QStringLiteral("  20.5000    °C"));
    p.drawText(QRectF(44, 62, 170, 26), Qt::AlignCenter, QStringLiteral(" 101.3250   kPa"));
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(0x40, 0x55, 0x90));
    for (int i = 0; i < 4; ++i) p.drawEllipse(QRectF(56 + i * 40, 112, 24, 24));
    p.setPen(QColor(60, 60, 60));
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 10, QFont::Bold));
    p.drawText(QRectF(24, 150, 210, 30), Qt::AlignCenter, QStringLiteral("parvion2"));
    return pix;
}

// Holds a word together at its hyphens, which are places the memo may
// otherwise break a row: the device's program text and serial number are
// never split over two rows.
constexpr QChar kWordJoiner(0x2060);

QString unbreakable(const QString& word) {
    QString out;
    for (const QChar ch : word) {
        out += ch;
        if (ch == QLatin1Char('-')) out += kWordJoiner;
    }
    return out;
}

}  // namespace

TAboutBox::TAboutBox(Hooks hooks, QWidget* parent) : QDialog(parent), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(521, 387);

    auto* panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1->setLineWidth(2);
    panel1->setGeometry(0, 0, 521, 387);

    auto* bevel1 = new QFrame(panel1);
    bevel1->setObjectName(QStringLiteral("Bevel1"));
    bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel1->setGeometry(12, 44, 266, 219);
    auto* image1 = new QLabel(bevel1);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setScaledContents(true);
    image1->setPixmap(productPicture());
    image1->setGeometry(4, 4, 258, 211);

    Label1 = new QLabel(panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(392, 16, 121, 25);
    Label1->installEventFilter(this);

    auto* panel2 = new QFrame(panel1);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel2->setGeometry(286, 44, 223, 331);
    About_Memo = new QTextEdit(panel2);
    About_Memo->setObjectName(QStringLiteral("About_Memo"));
    About_Memo->setReadOnly(true);
    About_Memo->setFrameStyle(QFrame::NoFrame);
    About_Memo->setLineWrapMode(QTextEdit::WidgetWidth);
    About_Memo->setWordWrapMode(QTextOption::WordWrap);
    About_Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    About_Memo->setFont(QFont(QStringLiteral("Arial"), 12));
    About_Memo->setStyleSheet(QStringLiteral("background: silver; color: black;"));
    About_Memo->setGeometry(2, 2, 219, 327);
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TAboutBox::FormActivate() {
    About_Memo->hide();
    repaint();
    setWindowTitle(QString::fromStdString(hooks_.text(44)));
    About_Memo->clear();
    std::optional<views::AboutDeviceInfo> device;
    if (hooks_.readDevice) device = hooks_.readDevice();
    // Every line centred, as a paragraph of its own.
    QTextCursor cursor(About_Memo->document());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QStringList whole;
    if (device) {
        whole << QString::fromStdString(
                     Cp1252ToUtf8(views::VisibleProgramText(device->programText)))
              << QString::fromStdString(Cp1252ToUtf8(device->serialNo));
    }
    bool first = true;
    for (const std::string& line : views::BuildAboutLines(hooks_.text, device)) {
        if (first) {
            cursor.setBlockFormat(centred);
        } else {
            cursor.insertBlock(centred);
        }
        first = false;
        QString text = QString::fromStdString(line);
        for (const QString& w : whole) {
            if (!w.isEmpty()) text.replace(w, unbreakable(w));
        }
        cursor.insertText(text);
    }
    About_Memo->show();
}

QStringList TAboutBox::memoLines() const {
    return About_Memo->toPlainText().remove(kWordJoiner).split(QLatin1Char('\n'));
}

void TAboutBox::setVisible(bool visible) {
    // Over the main window, or in the middle of the screen while it is not
    // shown yet (the start screen).
    if (visible && !isVisible()) centreWindow(this, parentWidget());
    QDialog::setVisible(visible);
}

void TAboutBox::Label1DblClick() {
    if (hooks_.openLogFolder) hooks_.openLogFolder();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label1 && event->type() == QEvent::MouseButtonDblClick) {
        Label1DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace parvion::gui
