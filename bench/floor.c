/* The smallest programs that produce what the declaration screen produces,
 * written straight on the SQLite C API: the yardstick the benchmarks hold the
 * program against. They handle the data the benchmark stores (Windows-1254
 * text, plain amounts and rates); they are not a second implementation of the
 * program's rules for every input. */
#include "floor.h"

#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    char *data;
    size_t size;
    size_t capacity;
} Buffer;

static void put(Buffer *b, const char *p, size_t n)
{
    if (b->size + n > b->capacity) {
        b->capacity = (b->size + n) * 2;
        b->data = realloc(b->data, b->capacity);
    }
    memcpy(b->data + b->size, p, n);
    b->size += n;
}

static void putChar(Buffer *b, char c)
{
    put(b, &c, 1);
}

/* Code points 0x80 to 0x9F of Windows-1254, then the six letters where it
 * departs from Latin-1. */
static const unsigned short HighBlock[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0,      0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178};

static int cp1254(unsigned cp)
{
    switch (cp) {
    case 0x011E:
        return 0xD0;
    case 0x0130:
        return 0xDD;
    case 0x015E:
        return 0xDE;
    case 0x011F:
        return 0xF0;
    case 0x0131:
        return 0xFD;
    case 0x015F:
        return 0xFE;
    case 0xD0:
    case 0xDD:
    case 0xDE:
    case 0xF0:
    case 0xFD:
    case 0xFE:
        return '?';
    }
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return (int)cp;
    for (int i = 0; i < 32; ++i)
        if (HighBlock[i] == cp)
            return 0x80 + i;
    return '?';
}

/* Appends UTF-8 text as Windows-1254; returns the number of characters. */
static int putText(Buffer *b, const unsigned char *p, int n)
{
    int chars = 0;
    for (int i = 0; i < n; ++chars) {
        unsigned cp = p[i];
        int len = cp < 0x80 ? 1 : cp < 0xE0 ? 2 : cp < 0xF0 ? 3 : 4;
        if (len > 1) {
            cp &= 0x3F >> (len - 1);
            for (int k = 1; k < len && i + k < n; ++k)
                cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        putChar(b, (char)cp1254(cp));
        i += len;
    }
    return chars;
}

static int charCount(const unsigned char *p, int n)
{
    int chars = 0;
    for (int i = 0; i < n; ++i)
        chars += (p[i] & 0xC0) != 0x80;
    return chars;
}

static void fill(Buffer *b, char c, int count)
{
    for (int i = 0; i < count; ++i)
        putChar(b, c);
}

static void zeroFilled(Buffer *b, const unsigned char *p, int n, int width)
{
    fill(b, '0', width - charCount(p, n));
    putText(b, p, n);
}

/* The text without the given separators, into out; returns its length. */
static int without(const unsigned char *p, int n, const char *separators, unsigned char *out)
{
    int k = 0;
    for (int i = 0; i < n && k < 63; ++i)
        if (!strchr(separators, p[i]))
            out[k++] = p[i];
    return k;
}

/* A plain rate "5.00" in hundredths, rounded half away from zero. */
static long long rateHundredths(const unsigned char *p, int n)
{
    long long whole = 0, fraction = 0;
    int i = 0, digits = 0, negative = 0;
    if (i < n && (p[i] == '-' || p[i] == '+'))
        negative = p[i++] == '-';
    for (; i < n && p[i] != '.'; ++i)
        whole = whole * 10 + (p[i] - '0');
    if (i < n)
        ++i;
    for (; i < n && digits < 3; ++i, ++digits)
        fraction = fraction * 10 + (p[i] - '0');
    for (; digits < 3; ++digits)
        fraction *= 10;
    long long v = whole * 100 + (fraction + 5) / 10;
    return negative ? -v : v;
}

/* An amount field's text "1,234.50" in hundredths: separators dropped, the
 * digits read as cents, anything else zero. */
static long long amountHundredths(const unsigned char *p, int n)
{
    long long v = 0;
    int negative = 0, any = 0;
    for (int i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        if (c == ',' || c == '.' || c == ' ')
            continue;
        if (!any && (c == '-' || c == '+')) {
            negative = c == '-';
            continue;
        }
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
        any = 1;
    }
    return negative ? -v : v;
}

#define COL(i) sqlite3_column_text(stmt, i), sqlite3_column_bytes(stmt, i)

static sqlite3_stmt *prepare(sqlite3 *db, const char *sql, const char *const *params, int count)
{
    sqlite3_stmt *stmt = NULL;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, NULL) != SQLITE_OK)
        return NULL;
    for (int i = 0; i < count; ++i)
        sqlite3_bind_text(stmt, i + 1, params[i], -1, SQLITE_STATIC);
    return stmt;
}

long floor_declaration_file(sqlite3 *db, const char *sender, const char *start, const char *end,
                            const char *type, const char *path)
{
    const char *params[] = {start, end, type, "1"};
    sqlite3_stmt *stmt = prepare(
        db,
        "select YATISVER, YATDEVREILK, YATDEVRESON, YATBODROTUR, YATSRVNO, YATKIMLIK, YATSSKNO, "
        "YATCINS, YATCALGUN, YATDURUM, YATBRUT, YATPRIMOR, YATDEPOOR, YATISIM from bodro "
        "where YATDEVREILK = ? and YATDEVRESON <= ? and YATBODROTUR = ? and YATGONDER = ? "
        "order by IDSIRA asc",
        params, 4);
    if (!stmt)
        return -1;
    Buffer b = {0};
    putText(&b, (const unsigned char *)sender, (int)strlen(sender));
    put(&b, "\r\n", 2);
    char previous[64] = "";
    int lineNumber = 0;
    long lines = 0;
    unsigned char digits[64];
    char number[32];
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char *isver = sqlite3_column_text(stmt, 0);
        const int isverLen = sqlite3_column_bytes(stmt, 0);
        putText(&b, isver, isverLen);
        putText(&b, digits, without(COL(1), "./", digits));
        putText(&b, digits, without(COL(2), "./", digits));
        put(&b, (const char *)sqlite3_column_text(stmt, 3), 2);
        lineNumber =
            lineNumber > 0 && strcmp(previous, (const char *)isver) == 0 ? lineNumber + 1 : 1;
        snprintf(previous, sizeof previous, "%s", (const char *)isver);
        snprintf(number, sizeof number, "%06d", lineNumber);
        put(&b, number, 6);
        zeroFilled(&b, COL(4), 6);
        zeroFilled(&b, COL(5), 12);
        zeroFilled(&b, COL(6), 9);
        putText(&b, COL(7));
        zeroFilled(&b, COL(8), 3);
        if (sqlite3_column_bytes(stmt, 9) == 0)
            putChar(&b, ' ');
        else
            putText(&b, COL(9));
        zeroFilled(&b, digits, without(COL(10), ",.", digits), 14);
        for (int rate = 11; rate <= 12; ++rate) {
            snprintf(number, sizeof number, "%05lld", rateHundredths(COL(rate)));
            put(&b, number, 5);
        }
        const int nameChars = putText(&b, COL(13));
        fill(&b, ' ', 40 - nameChars);
        put(&b, "\r\n", 2);
        ++lines;
    }
    sqlite3_finalize(stmt);
    FILE *f = fopen(path, "wb");
    const int written = f && fwrite(b.data, 1, b.size, f) == b.size;
    if (f)
        fclose(f);
    free(b.data);
    return written ? lines : -1;
}

long floor_period_summary(sqlite3 *db, const char *start, const char *end, const char *type,
                          long long *grandTotal)
{
    const char *params[] = {start, end, "1", type, "1"};
    sqlite3_stmt *stmt = prepare(
        db,
        "select YATISVER, YATDEVREILK, YATDEVRESON, YATBODROTUR, YATBDRDEVMIK, ISVISIM, YATBRUT, "
        "YATPRIMOR, YATDEPOOR from bodro where YATDEVREILK = ? and YATDEVRESON <= ? and "
        "YATGONDER = ? and YATBODROTUR = ? and YATBDRDEVMIK = ? order by IDSIRA asc",
        params, 5);
    if (!stmt)
        return -1;
    typedef struct {
        char key[5][64];
        char name[128];
        long long total; /* in millionths */
    } Group;
    Group *groups = NULL;
    long count = 0, capacity = 0;
    *grandTotal = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        int same = count > 0;
        for (int k = 0; k < 5 && same; ++k)
            same =
                strcmp(groups[count - 1].key[k], (const char *)sqlite3_column_text(stmt, k)) == 0;
        if (!same) {
            if (count == capacity) {
                capacity = capacity ? capacity * 2 : 256;
                groups = realloc(groups, capacity * sizeof *groups);
            }
            Group *g = &groups[count++];
            for (int k = 0; k < 5; ++k)
                snprintf(g->key[k], sizeof g->key[k], "%s", sqlite3_column_text(stmt, k));
            snprintf(g->name, sizeof g->name, "%s", sqlite3_column_text(stmt, 5));
            g->total = 0;
        }
        const long long pay = amountHundredths(COL(6));
        const long long owed = pay * rateHundredths(COL(7)) + pay * rateHundredths(COL(8));
        groups[count - 1].total += owed;
        *grandTotal += owed;
    }
    sqlite3_finalize(stmt);
    free(groups);
    return count;
}
