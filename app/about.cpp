// The about box.
#include "app/about.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TAboutBox::TAboutBox(const QString &storage, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48));
    auto *product = new QLabel(QStringLiteral("Sarvek Bodro"), panel);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    product->setFont(bold);
    auto *version = new QLabel(QStringLiteral("Version: 4.0.4"), panel);
    version->setObjectName(QStringLiteral("Version"));
    auto *copyright =
        new QLabel(QStringLiteral("© Sarvek Sandığı Dairesi. Tüm hakları saklıdır."), panel);
    copyright->setObjectName(QStringLiteral("Copyright"));
    auto *comments = new QLabel(
        QStringLiteral("Aylık yatırım bordrolarının hazırlanması ve gönderilmesi."), panel);
    comments->setObjectName(QStringLiteral("Comments"));
    auto *database = new QLabel(QStringLiteral("Veritabanı: %1").arg(storage), panel);
    database->setObjectName(QStringLiteral("Database"));
    database->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(product, 1);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->addLayout(top);
    panelLayout->addWidget(version);
    panelLayout->addWidget(copyright);
    panelLayout->addWidget(comments);
    panelLayout->addWidget(database);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
