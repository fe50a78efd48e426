// What the two engines' statements share: binding a list of values and
// reading texts.
#include "store/database.h"

#include <QStringDecoder>

Statement &Statement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values[i];
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
            bind(i + 1, v.toLongLong());
        else if (!v.isValid())
            bindNull(i + 1);
        else
            bind(i + 1, v.toString());
    }
    return *this;
}

QString Statement::text(int i) const
{
    const QByteArrayView bytes = utf8(i);
    if (!bytes.data())
        return QStringLiteral(""); // NULL reads as empty text
    return QString::fromUtf8(bytes);
}

void Statement::readText(int i, QString &into) const
{
    const QByteArrayView bytes = utf8(i);
    // UTF-8 never takes fewer bytes than UTF-16 takes units. An initial byte
    // order mark is kept as text, as fromUtf8 keeps it.
    into.resize(bytes.size());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    into.truncate(decoder.appendToBuffer(into.data(), bytes) - into.constData());
}

Statement prepareColumns(Database &db, const QString &sql, const QStringList &columns)
{
    // The alias is required by one engine and allowed by the other.
    return db.prepare(QStringLiteral("select %1 from (%2) as picked").arg(columns.join(u','), sql));
}
