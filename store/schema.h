// The tables of the return database, their column widths and the statements
// that create them. Widths are enforced by named CHECK constraints, so a
// refused value reads "CHECK constraint failed: YATSRVNO_width".
#pragma once

#include <QList>
#include <QString>

namespace schema
{

struct Column {
    const char *name;
    int width;
};

// The nineteen columns of bodrotemp, in its creation order. bodro has these
// plus YATBDRDEVMIK and the key IDSIRA.
const QList<Column> &stagingColumns();
const QList<Column> &accountantColumns();

int widthOf(const QString &column); // bodro / bodrotemp widths; 0 if unknown

QString createBodro();
QString createBodrotemp();
QString createMuhisv();
struct Index {
    const char *name;
    const char *create;
};
// Indexes for the look-ups by fund number, return key (which serves the
// look-ups by employer too) and period.
const QList<Index> &indexes();
QString createIndexes(); // all of them, one script

QString addSeqNoColumn(); // YATBDRDEVMIK
QString addSskNoColumn(); // YATSSKNO

} // namespace schema
