#include "logic/interval.h"
#include "logic/numbertext.h"

const SettingValue<Interval> Interval::setting {QStringLiteral("Interval"), QStringLiteral(".5")};

bool Interval::isNumeric(QStringView text)
{
    return NumberText::isNumeric(text);
}

double Interval::seconds() const
{
    return NumberText::leadingValue(m_text);
}
