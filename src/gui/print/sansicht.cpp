#include "gui/print/sansicht.h"

#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

namespace parvion::gui {

Tsansicht::Tsansicht(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sansicht"));
    setWindowTitle(QStringLiteral("Seitenansicht"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setSizeGripEnabled(true);
    resize(651, 484);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette silver = ScrollBox->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    ScrollBox->setPalette(silver);
    ScrollBox->setBackgroundRole(QPalette::Window);

    Image = new QLabel;
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox->setWidget(Image);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBox);
}

void Tsansicht::setPicture(const QImage& picture) {
    picture_ = picture;
    Image->setPixmap(QPixmap::fromImage(picture));
    Image->resize(picture.size());
}

}  // namespace parvion::gui
