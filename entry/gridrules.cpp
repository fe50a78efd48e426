// Key rules and row deletion of the employee grid.
#include "entry/gridrules.h"

#include "entry/headerrules.h"

namespace entrygrid {

const QStringList &columnTitles()
{
    static const QStringList titles{
        QStringLiteral("S. No"),      QStringLiteral("Sarvek No"),   QStringLiteral("Kimlik No"),
        QStringLiteral("Sigorta No"), QStringLiteral("Adı Soyadı"),  QStringLiteral("Cinsiyet"),
        QStringLiteral("Gün Sayısı"), QStringLiteral("İzin Nedeni"), QStringLiteral("Aylık Kazanç"),
        QStringLiteral("P.Oranı %"),  QStringLiteral("P.Tutarı"),    QStringLiteral("D.Oranı %"),
        QStringLiteral("D.Tutarı"),   QStringLiteral("Toplam")};
    return titles;
}

const std::array<int, ColumnCount> &columnWidths()
{
    static const std::array<int, ColumnCount> widths{30, 80, 80, 80, 180, 60, 60,
                                                      60, 100, 80, 80, 80, 80, 120};
    return widths;
}

QStringList templateRow(int number)
{
    QStringList row(ColumnCount);
    row[SNo] = QString::number(number);
    for (int c = AylikKazanc; c <= Toplam; ++c)
        row[c] = QStringLiteral("0");
    return row;
}

GridCells freshGrid()
{
    return {columnTitles(), templateRow(1)};
}

QString upperAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

bool applyKeyRules(GridCells &grid, Cursor &cursor, Key key, int &rowCounter, const KeyEnv &env)
{
    const bool right = key == Key::Right;
    bool keyActs = true;

    // A refused cell: the cursor steps one column left and the key then acts,
    // so a Right arrow brings it back onto the refused cell. In column 0 there
    // is no column to step to: the cursor stays and the key is dropped.
    auto refuse = [&](const QString &message) {
        env.say(message);
        if (cursor.col > 0)
            --cursor.col;
        else
            keyActs = false;
    };

    // A computed total in the last row means its employee is complete.
    if (grid.constLast()[Toplam] != QLatin1String("0") && !grid[cursor.row][SarvekNo].isEmpty()) {
        const int number = entryheader::toInteger(grid.constLast()[SNo]) + 1;
        grid.append(templateRow(number));
        rowCounter = number;
    }

    if (cursor.col == DTutari)
        cursor = {int(grid.size()) - 1, SNo};

    const QStringList last = grid.constLast();
    if (right && !last[SarvekNo].isEmpty() && last[SarvekNo].size() != 6)
        refuse(SarvekNoMessage);
    if (right && cursor.col == KimlikNo && last[KimlikNo].size() > 12)
        refuse(KimlikNoMessage);
    if (cursor.col == SigortaNo && grid.constLast()[SigortaNo].size() > 10)
        refuse(SigortaNoMessage);
    if (right && cursor.col == AdiSoyadi && grid.constLast()[AdiSoyadi].size() > 40)
        refuse(AdiSoyadiMessage);
    if (right && cursor.col == Cinsiyet && grid[cursor.row][Cinsiyet].isEmpty())
        refuse(CinsiyetMessage);
    if (right && cursor.col == Cinsiyet) {
        QString &sex = grid[cursor.row][Cinsiyet];
        sex = upperAscii(sex);
        if (sex != QLatin1String("E") && sex != QLatin1String("K"))
            refuse(CinsiyetMessage);
    }

    if (right && cursor.col == SarvekNo && !grid[cursor.row][SarvekNo].isEmpty() && env.lookUp) {
        if (const auto found = env.lookUp(grid[cursor.row][SarvekNo])) {
            QStringList &row = grid[cursor.row];
            row[KimlikNo] = found->kimlik;
            row[SigortaNo] = found->sigorta;
            row[AdiSoyadi] = found->isim;
            row[Cinsiyet] = found->cins;
            row[GunSayisi] = found->gun;
        }
    }

    if (right && cursor.col == IzinNedeni && env.asil) {
        QStringList &row = grid[cursor.row];
        if (row[IzinNedeni].isEmpty()) {
            if (row[GunSayisi].isEmpty()) {
                env.say(NoDaysMessage);
                cursor.col = GunSayisi;
                keyActs = false;
            } else if (entryheader::toInteger(row[GunSayisi]) < 30) {
                env.say(ThirtyDaysMessage);
            }
        }
        if (cursor.col == IzinNedeni && entryheader::toInteger(row[GunSayisi]) < 30) {
            row[IzinNedeni] = upperAscii(row[IzinNedeni]);
            static const QStringList letters{"A", "C", "D", "G", "H", "O", "P"};
            if (!letters.contains(row[IzinNedeni]))
                refuse(LeaveLetterMessage);
        }
    }
    return keyActs;
}

void deleteRow(GridCells &grid, int row)
{
    if (row < 1 || row >= grid.size())
        return;
    if (row == 1 && grid.size() == 2) {
        grid[1] = templateRow(1);
        return;
    }
    GridCells out = grid;
    out.removeAt(row);
    for (int r = row; r < out.size(); ++r) {
        QString &number = out[r][SNo];
        if (!number.isEmpty())
            number = QString::number(entryheader::toInteger(number) - 1);
    }
    grid = out;
}

} // namespace entrygrid
