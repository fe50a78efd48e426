// The one-employer return list.
#include "lists/bordlist.h"

#include "app/context.h"
#include "lists/returnlists.h"
#include "store/dm.h"

#include <QLabel>

namespace
{

QList<ReturnListColumn> columns()
{
    return {
        {QStringLiteral("YATISVER"), QStringLiteral("İŞVEREN NO"), 137, true, false},
        {QStringLiteral("YATDEVREILK"), QStringLiteral("İLK DÖNEM"), 107, true, false},
        {QStringLiteral("YATDEVRESON"), QStringLiteral("SON DÖNEM"), 111, true, false},
        {QStringLiteral("YATBODROTUR"), QStringLiteral("BODROTÜRÜ"), 73, true, true},
        {QStringLiteral("YATBDRDEVMIK"), QStringLiteral("BDRDEVMIK"), 0, false, false},
    };
}

} // namespace

Tfrmbordlist::Tfrmbordlist(AppContext &ctx, QWidget *parent)
    : ReturnListDialog(ctx, parent, columns())
{
    setObjectName(QStringLiteral("frmbordlist"));
    setWindowTitle(QStringLiteral("Aylık Yatırım BodrosuListesi"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(510, 456);
}

void Tfrmbordlist::listeleClick()
{
    model()->clear();
    listEmployerReturns(m_ctx.dm.Query1, ALISVERNO->text(), ALDEVREILK->text(), ALDEVRESON->text());
    showQuery1();
}
