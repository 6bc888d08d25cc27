#include "logic/interval.h"
#include "logic/numbertext.h"
#include "settings/settingsstore.h"

namespace {
const QString Key = QStringLiteral("Interval");
const QString Default = QStringLiteral(".5");
} // namespace

Interval Interval::stored()
{
    return Interval(ReadSetting(Key, Default));
}

bool Interval::isNumeric(QStringView text)
{
    return NumberText::isNumeric(text);
}

Outcome<QString> Interval::store(const QString &text)
{
    return WriteSetting(Key, text);
}

double Interval::seconds() const
{
    return NumberText::leadingValue(m_text);
}
