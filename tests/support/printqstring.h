// Failures of GoogleTest checks show a QString as its text rather than as a
// list of UTF-16 units.
#pragma once

#include <ostream>
#include <QString>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
