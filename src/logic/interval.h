#pragma once

#include "settings/settingvalue.h"

#include <QString>
#include <QStringView>

#include <utility>

// The launch interval: the text of its setting as the user typed it, read from the store afresh
// before every pause, and its value in seconds. The one place it is parsed.
class Interval final
{
public:
    explicit Interval(QString text)
        : m_text(std::move(text))
    { }

    // Stored as typed, for the next pause to read; ".5" when nothing is.
    static const SettingValue<Interval> setting;
    // What "Set Launch Interval" accepts: a number and nothing else but blanks around it.
    static bool isNumeric(QStringView text);

    const QString &text() const { return m_text; }
    // The number at the start of the text; 0 when there is none, so that a value the check
    // would refuse never makes a pause that lasts for ever.
    double seconds() const;

private:
    QString m_text;
};
