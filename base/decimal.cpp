// Exact decimal arithmetic on a 128-bit mantissa. Every value keeps at most
// MaxDigits significant digits and MaxScale decimals, so the intermediate steps
// (aligning scales, adding, formatting with two decimals) always fit in 128 bits;
// whatever would not fit is refused with ConversionError instead of wrapping.
#include "base/decimal.h"

#include "base/errors.h"

#include <algorithm>

namespace
{

constexpr int MaxScale = 24;
constexpr int MaxDigits = 35;
// 10^38 is the largest power of ten below 2^127.
constexpr int MaxPow10 = 38;

Int128 pow10(int n)
{
    Int128 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

const Int128 Limit = pow10(MaxDigits);

[[noreturn]] void overflow()
{
    throw ConversionError(QStringLiteral("Sayı hesaplanamayacak kadar büyük"));
}

Int128 checkedMul(Int128 a, Int128 b)
{
    Int128 r;
    if (__builtin_mul_overflow(a, b, &r))
        overflow();
    return r;
}

Int128 checkedAdd(Int128 a, Int128 b)
{
    Int128 r;
    if (__builtin_add_overflow(a, b, &r))
        overflow();
    return r;
}

Int128 scaledUp(Int128 v, long long places)
{
    if (v == 0 || places <= 0)
        return v;
    if (places > MaxPow10)
        overflow();
    return checkedMul(v, pow10(int(places)));
}

// Divides by 10^n, rounding halves away from zero.
Int128 roundDiv(Int128 v, long long n)
{
    if (n <= 0)
        return v;
    if (n > MaxPow10)
        return 0; // |v| < 2^127 < 10^39 / 2
    const Int128 d = pow10(int(n));
    Int128 q = v / d;
    const Int128 r = v % d;
    const Int128 rest = r < 0 ? -r : r;
    if (rest >= d - rest)
        q += v < 0 ? -1 : 1;
    return q;
}

QString digitsOf(Int128 v)
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

Decimal Decimal::make(Int128 units, long long scale)
{
    if (scale < 0) {
        units = scaledUp(units, -scale);
        scale = 0;
    } else if (scale > MaxScale) {
        units = roundDiv(units, scale - MaxScale);
        scale = MaxScale;
    }
    while (scale > 0 && units % 10 == 0) {
        units /= 10;
        --scale;
    }
    if (units >= Limit || units <= -Limit)
        overflow();
    return Decimal(units, int(scale));
}

std::optional<Decimal> Decimal::parse(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    // Zeros are held back until a later digit shows they are significant, so
    // neither leading zeros nor trailing fraction zeros count against the size.
    Int128 units = 0;
    int significant = 0;
    int heldZeros = 0;
    long long scale = 0;
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
            if (point)
                ++scale;
            if (c == u'0') {
                if (units != 0)
                    ++heldZeros;
                continue;
            }
            significant += heldZeros + 1;
            if (significant > MaxDigits)
                return std::nullopt;
            units = units * pow10(heldZeros + 1) + (c.unicode() - u'0');
            heldZeros = 0;
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
        // Far beyond any scale that can be held, and far from overflowing.
        constexpr long long ExpCap = 100000;
        long long exp = 0;
        int expDigits = 0;
        for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i) {
            exp = std::min(exp * 10 + (t[i].unicode() - u'0'), ExpCap);
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
        scale += expNegative ? exp : -exp;
    }
    if (i != t.size())
        return std::nullopt;
    if (units == 0)
        return Decimal();
    scale -= heldZeros;
    // A number finer than the finest decimal held would only be rounded away.
    if (scale > MaxScale)
        return std::nullopt;
    if (scale < 0 && significant - scale > MaxDigits)
        return std::nullopt;
    return make(negative ? -units : units, scale);
}

ConversionError Decimal::notANumber(QStringView text)
{
    return ConversionError(QStringLiteral("'%1' geçerli bir sayı değil").arg(text.toString()));
}

Decimal Decimal::fromText(QStringView text)
{
    if (auto d = parse(text))
        return *d;
    throw notANumber(text);
}

Int128 Decimal::unitsAt(int scale) const
{
    return scaledUp(m_units, scale - m_scale);
}

Decimal Decimal::operator+(const Decimal &o) const
{
    const int s = std::max(m_scale, o.m_scale);
    return make(checkedAdd(unitsAt(s), o.unitsAt(s)), s);
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
    return make(checkedMul(m_units, o.m_units), (long long)m_scale + o.m_scale);
}

Decimal Decimal::shiftedRight(int places) const
{
    return make(m_units, (long long)m_scale + places);
}

Decimal Decimal::rounded(int places) const
{
    places = std::max(places, 0);
    if (m_scale <= places)
        return *this;
    return make(roundDiv(m_units, m_scale - places), places);
}

std::strong_ordering Decimal::operator<=>(const Decimal &o) const
{
    // Whole parts first: aligning both scales at once could leave 128 bits.
    const Int128 aScale = pow10(m_scale);
    const Int128 bScale = pow10(o.m_scale);
    const Int128 aWhole = m_units / aScale;
    const Int128 bWhole = o.m_units / bScale;
    if (aWhole != bWhole)
        return aWhole < bWhole ? std::strong_ordering::less : std::strong_ordering::greater;
    const int s = std::max(m_scale, o.m_scale);
    const Int128 aFraction = (m_units % aScale) * pow10(s - m_scale);
    const Int128 bFraction = (o.m_units % bScale) * pow10(s - o.m_scale);
    return aFraction < bFraction ? std::strong_ordering::less
                                 : (aFraction > bFraction ? std::strong_ordering::greater
                                                          : std::strong_ordering::equal);
}

QString Decimal::toPlain() const
{
    const Int128 a = m_units < 0 ? -m_units : m_units;
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
    decimals = std::clamp(decimals, 0, MaxScale);
    const Int128 units = rounded(decimals).unitsAt(decimals);
    const Int128 a = units < 0 ? -units : units;
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
