#pragma once

#include <QString>
#include <QStringView>

// Numbers typed as text, such as the launch interval. Both readers take the same form, so
// that what the check accepts is exactly what the pause reads: an optional sign, digits with
// at most one "." (".5" and "1." included), and an optional exponent ("1e2", "2.5E-1").
namespace NumberText {

// Numeric: the form above and nothing else apart from blanks around it, of a finite value.
bool isNumeric(QStringView text);

// The number at the start of text after leading blanks, read up to the first character that
// does not belong to it; 0 when text does not start with a number or the number is too large
// for a double, so that no pause lasts forever.
double leadingValue(QStringView text);

} // namespace NumberText
