// The two look-ups of the entry screen, without any widget: the employer's
// details by registry number when the header's number is complete, and an
// employee's details by fund number when one is typed into the grid. Both
// take the first stored row that matches, as the screen has always shown it.
#pragma once

#include "entry/gridrules.h"

#include <optional>
#include <QString>

class Tdm;

namespace entrylookup
{

struct EmployerDetails {
    QString address; // ISVISADRES
    QString phone;   // ISVTELNO
    QString name;    // ISVISIM
};

// The details stored with any return of the employer; nothing when none is.
std::optional<EmployerDetails> employerDetails(Tdm &dm, const QString &registryNumber);

// The details stored with any row of the fund number; nothing when none is.
std::optional<entrygrid::Employee> employeeDetails(Tdm &dm, const QString &fundNo);

} // namespace entrylookup
