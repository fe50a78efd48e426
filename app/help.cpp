// The handbook's sections by screen and control.
#include "app/help.h"

#include "base/platform.h"

#include <QDir>
#include <QHash>

namespace help
{

namespace
{

const QHash<QString, QString> &sections()
{
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        m.insert(QStringLiteral("Form2"), QStringLiteral("anamenu.html"));
        m.insert(QStringLiteral("AboutBox"), QStringLiteral("anamenu.html#hakkinda"));
        m.insert(QStringLiteral("Form1"), QStringLiteral("giris.html"));
        m.insert(QStringLiteral("alyatgir"), QStringLiteral("giris.html#tablo"));
        for (const char *button :
             {"kayitbtn", "guncelle", "BitBtnBul", "BitBtnYazdir", "BitTumSubeYazdir",
              "BitBtnIptal", "BitBtnSatirSil", "yeniac", "BitBtnCikis"})
            m.insert(QLatin1String(button), QStringLiteral("giris.html#komutlar"));
        m.insert(QStringLiteral("BitBtnIceAktar"), QStringLiteral("giris.html#iceaktar"));
        m.insert(QStringLiteral("ImportDialog"), QStringLiteral("giris.html#iceaktar"));
        m.insert(QStringLiteral("frmbordlist"), QStringLiteral("listeler.html"));
        m.insert(QStringLiteral("frmbordlistall"), QStringLiteral("listeler.html#tumu"));
        m.insert(QStringLiteral("frmmuhis"), QStringLiteral("muhasip.html"));
        m.insert(QStringLiteral("Tyapdosya"), QStringLiteral("beyanname.html"));
        m.insert(QStringLiteral("Tkayityeri"), QStringLiteral("beyanname.html#surucu"));
        m.insert(QStringLiteral("btngonderilenler"),
                 QStringLiteral("beyanname.html#gonderilenler"));
        m.insert(QStringLiteral("gonderilenler"), QStringLiteral("beyanname.html#gonderilenler"));
        m.insert(QStringLiteral("frmbodrodok"), QStringLiteral("dokum.html"));
        m.insert(QStringLiteral("bdrdokpreview"), QStringLiteral("dokum.html"));
        return m;
    }();
    return map;
}

} // namespace

QString pageFor(const QStringList &names)
{
    for (const QString &name : names) {
        const auto it = sections().constFind(name);
        if (it != sections().constEnd())
            return *it;
    }
    return QStringLiteral("index.html");
}

void open(Platform &platform, const QString &dataDir, const QString &page)
{
    const QString chm =
        QDir::cleanPath(QDir(dataDir).absoluteFilePath(QStringLiteral("../sarvek.chm")));
    if (!platform.openDocument(chm))
        platform.showHelp(page);
}

} // namespace help
