// Exact decimal arithmetic on a 128-bit mantissa.
#include "controls/decimal.h"

#include "app/errors.h"

#include <algorithm>

namespace {

constexpr int MaxScale = 24;

__int128 pow10(int n)
{
    __int128 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

void overflow()
{
    throw ConversionError(QStringLiteral("Sayı hesaplanamayacak kadar büyük"));
}

__int128 checkedMul(__int128 a, __int128 b)
{
    __int128 r;
    if (__builtin_mul_overflow(a, b, &r))
        overflow();
    return r;
}

__int128 checkedAdd(__int128 a, __int128 b)
{
    __int128 r;
    if (__builtin_add_overflow(a, b, &r))
        overflow();
    return r;
}

// Divides by 10^n, rounding halves away from zero.
__int128 roundDiv(__int128 v, int n)
{
    if (n <= 0)
        return v;
    const __int128 d = pow10(n);
    __int128 q = v / d;
    const __int128 r = v % d;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    if (twice >= d)
        q += v < 0 ? -1 : 1;
    return q;
}

QString digitsOf(__int128 v)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s;
    while (v > 0) {
        s.prepend(QChar(u'0' + int(v % 10)));
        v /= 10;
    }
    return s;
}

} // namespace

std::optional<Decimal> Decimal::parse(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    __int128 units = 0;
    int scale = 0;
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            if (units > pow10(36))
                return std::nullopt;
            units = units * 10 + (c.unicode() - u'0');
            ++digits;
            if (point)
                ++scale;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
            expNegative = t[i] == u'-';
            ++i;
        }
        int exp = 0;
        int expDigits = 0;
        for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i) {
            exp = std::min(exp * 10 + (t[i].unicode() - u'0'), 1000);
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
        if (expNegative) {
            scale += exp;
        } else {
            while (exp > 0 && scale > 0) {
                --scale;
                --exp;
            }
            if (exp > 30)
                return std::nullopt;
            units = units * pow10(exp);
        }
    }
    if (i != t.size())
        return std::nullopt;
    if (scale > MaxScale) {
        units = roundDiv(units, scale - MaxScale);
        scale = MaxScale;
    }
    return Decimal(negative ? -units : units, scale).normalized();
}

Decimal Decimal::fromText(QStringView text)
{
    if (auto d = parse(text))
        return *d;
    throw ConversionError(QStringLiteral("'%1' geçerli bir sayı değil").arg(text.toString()));
}

__int128 Decimal::unitsAt(int scale) const
{
    return checkedMul(m_units, pow10(scale - m_scale));
}

Decimal Decimal::normalized() const
{
    __int128 u = m_units;
    int s = m_scale;
    while (s > 0 && u % 10 == 0) {
        u /= 10;
        --s;
    }
    return Decimal(u, s);
}

Decimal Decimal::operator+(const Decimal &o) const
{
    const int s = std::max(m_scale, o.m_scale);
    return Decimal(checkedAdd(unitsAt(s), o.unitsAt(s)), s).normalized();
}

Decimal Decimal::operator-(const Decimal &o) const
{
    return *this + (-o);
}

Decimal Decimal::operator-() const
{
    return Decimal(-m_units, m_scale);
}

Decimal Decimal::operator*(const Decimal &o) const
{
    __int128 u = checkedMul(m_units, o.m_units);
    int s = m_scale + o.m_scale;
    if (s > MaxScale) {
        u = roundDiv(u, s - MaxScale);
        s = MaxScale;
    }
    return Decimal(u, s).normalized();
}

Decimal Decimal::shiftedRight(int places) const
{
    __int128 u = m_units;
    int s = m_scale + places;
    if (s > MaxScale) {
        u = roundDiv(u, s - MaxScale);
        s = MaxScale;
    }
    return Decimal(u, s).normalized();
}

Decimal Decimal::rounded(int places) const
{
    if (m_scale <= places)
        return *this;
    return Decimal(roundDiv(m_units, m_scale - places), places).normalized();
}

std::strong_ordering Decimal::operator<=>(const Decimal &o) const
{
    const int s = std::max(m_scale, o.m_scale);
    const __int128 a = unitsAt(s);
    const __int128 b = o.unitsAt(s);
    return a < b ? std::strong_ordering::less
                 : (a > b ? std::strong_ordering::greater : std::strong_ordering::equal);
}

QString Decimal::toPlain() const
{
    const __int128 a = m_units < 0 ? -m_units : m_units;
    QString digits = digitsOf(a);
    if (m_scale > 0) {
        if (digits.size() <= m_scale)
            digits.prepend(QString(m_scale - digits.size() + 1, u'0'));
        digits.insert(digits.size() - m_scale, u'.');
    }
    return m_units < 0 ? QStringLiteral("-") + digits : digits;
}

QString Decimal::toAmountText(int decimals) const
{
    const __int128 units = rounded(decimals).unitsAt(decimals);
    const __int128 a = units < 0 ? -units : units;
    QString digits = digitsOf(a);
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals - digits.size() + 1, u'0'));
    const QString fraction = digits.right(decimals);
    QString whole = digits.left(digits.size() - decimals);
    for (qsizetype pos = whole.size() - 3; pos > 0; pos -= 3)
        whole.insert(pos, u',');
    QString text = decimals > 0 ? whole + u'.' + fraction : whole;
    return units < 0 ? QStringLiteral("-") + text : text;
}

double Decimal::toDouble() const
{
    return toPlain().toDouble();
}
