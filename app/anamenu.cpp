// The main menu window.
#include "app/anamenu.h"

#include "app/about.h"
#include "app/busycursor.h"
#include "app/context.h"
#include "app/firstrun.h"
#include "app/screens.h"
#include "store/dm.h"
#include "store/upgrade.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace
{

QPixmap backgroundPicture(QSize size)
{
    QPixmap pix(size);
    QPainter p(&pix);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(16, 62, 120));
    g.setColorAt(1, QColor(150, 190, 230));
    p.fillRect(pix.rect(), g);
    return pix;
}

QPixmap emblemPicture(QSize size)
{
    QPixmap pix(size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 220), 3));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(pix.rect().adjusted(4, 4, -4, -4), 24, 24);
    QFont f(QStringLiteral("Liberation Sans"), 26, QFont::Bold);
    p.setFont(f);
    p.drawText(pix.rect().adjusted(0, 30, 0, -100), Qt::AlignCenter,
               QStringLiteral("SARVEK SANDIĞI DAİRESİ"));
    f.setPointSize(18);
    f.setBold(false);
    p.setFont(f);
    p.drawText(pix.rect().adjusted(0, 110, 0, -30), Qt::AlignCenter,
               QStringLiteral("Aylık Yatırım Bordrosu"));
    return pix;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
}

} // namespace

TForm2::TForm2(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Sarvek Sandığı Dairesi "));
    setFixedSize(675, 456);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    auto *image1 = new QLabel(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setGeometry(rect());
    image1->setPixmap(backgroundPicture(size()));

    auto *image2 = new QLabel(this);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setGeometry((width() - 529) / 2, 70, 529, 233);
    image2->setPixmap(emblemPicture(QSize(529, 233)));

    auto *label = new QLabel(
        QStringLiteral("2008-2026 Sarvek Sandığı Dairesi - Tüm hakları saklıdır - Sürüm 4.0.4"),
        this);
    label->setObjectName(QStringLiteral("RzLabel1"));
    label->setStyleSheet(QStringLiteral("color: white;"));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, 320, width(), 20);

    auto *about = makeButton(this, "BitBtn5", QStringLiteral("Hakkında"), {580, 8, 85, 26});
    const int y = 380, w = 150, h = 48, gap = 12, left = (675 - 4 * w - 3 * gap) / 2;
    auto *prepare = makeButton(this, "BitBtn1", QStringLiteral("Bodro Hazırla"), {left, y, w, h});
    auto *send =
        makeButton(this, "BitBtn2", QStringLiteral("Bodro Gönder"), {left + (w + gap), y, w, h});
    auto *record = makeButton(this, "BitBtn4", QStringLiteral("Muh/İsv. Kaydı"),
                              {left + 2 * (w + gap), y, w, h});
    auto *quit =
        makeButton(this, "BitBtn3", QStringLiteral("Çıkış"), {left + 3 * (w + gap), y, w, h});
    auto *yukle = makeButton(this, "yukle", QStringLiteral("Help"), {0, 0, 10, 10});
    auto *yapeksik = makeButton(this, "yapeksik", QStringLiteral("Eksikleri yap"), {0, 0, 10, 10});
    yukle->hide();
    yapeksik->hide();

    setTabOrder(prepare, send);
    setTabOrder(send, quit);
    setTabOrder(quit, record);
    setTabOrder(record, about);

    auto wire = [this](QPushButton *b, void (TForm2::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded(m_ctx.platform, [&] { (this->*handler)(); }); });
    };
    wire(prepare, &TForm2::BitBtn1Click);
    wire(send, &TForm2::BitBtn2Click);
    wire(quit, &TForm2::BitBtn3Click);
    wire(record, &TForm2::BitBtn4Click);
    wire(about, &TForm2::BitBtn5Click);
    wire(yukle, &TForm2::yukleClick);
    wire(yapeksik, &TForm2::yapeksikClick);

    m_about = new TAboutBox(m_ctx.dm.storageDescription(), this);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm2::BitBtn1Click()
{
    yukleClick();
    yapeksikClick();
    showEntryScreen(m_ctx, this);
}

void TForm2::BitBtn2Click()
{
    yukleClick();
    showDeclarationScreen(m_ctx, this);
}

void TForm2::BitBtn3Click()
{
    close();
}

void TForm2::BitBtn4Click()
{
    showAccountantScreen(m_ctx, this);
}

void TForm2::BitBtn5Click()
{
    m_about->exec();
}

void TForm2::yukleClick()
{
    if (readMarker(m_ctx.platform) != QLatin1String("2"))
        return;
    m_ctx.platform.showMessage(
        QStringLiteral("Programı ilk kez çalıştırıyorsunuz. Kullana bilmeniz "
                       "için Lütfen Muhasip/İşveren Kaydını Yapınız"));
    showAccountantScreen(m_ctx, this);
}

void TForm2::yapeksikClick()
{
    const BusyCursor busy;
    runSchemaUpgrade(m_ctx.dm, m_ctx.platform);
}
