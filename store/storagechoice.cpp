// Reading the office's connection string.
#include "store/storagechoice.h"

#include <libpq-fe.h>
#include <QDir>
#include <QFile>

namespace storagechoice
{

QString refusal(const QString &connInfo, const QString &source)
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(connInfo.toUtf8().constData(), &error);
    if (!options) {
        const QString detail = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        return QStringLiteral("Veritabanı bağlantı bilgisi okunamadı (%1):\r\n%2")
            .arg(source, detail);
    }
    bool password = false;
    for (const PQconninfoOption *o = options; o->keyword; ++o)
        if (qstrcmp(o->keyword, "password") == 0 && o->val && *o->val)
            password = true;
    PQconninfoFree(options);
    if (password)
        return QStringLiteral("Veritabanı bağlantı bilgisinde parola bulunmamalıdır (%1). "
                              "Parolayı ~/.pgpass dosyasına yazınız.")
            .arg(source);
    return QString();
}

Choice read(const QString &dataDir, const QString &variable)
{
    Choice choice;
    QString source;
    if (!variable.trimmed().isEmpty()) {
        choice.connInfo = variable.trimmed();
        source = QLatin1String(Variable);
    } else {
        const QString path = QDir(dataDir).filePath(QStringLiteral("veritabani.ini"));
        QFile file(path);
        if (!file.exists())
            return choice;
        if (!file.open(QIODevice::ReadOnly)) {
            choice.error = QStringLiteral("%1 okunamadı: %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString());
            return choice;
        }
        for (const QByteArray &raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
                continue;
            choice.connInfo = line;
            break;
        }
        source = QDir::toNativeSeparators(path);
    }
    if (!choice.connInfo.isEmpty())
        choice.error = refusal(choice.connInfo, source);
    if (!choice.error.isEmpty())
        choice.connInfo.clear();
    return choice;
}

} // namespace storagechoice
