#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QStringView>

#include <utility>

// The launch interval: the text of the setting "Interval" as the user typed it, read from the
// store afresh before every pause, and its value in seconds. The one place it is parsed.
class Interval final
{
public:
    explicit Interval(QString text)
        : m_text(std::move(text))
    { }

    // As stored now; ".5" when nothing is.
    static Interval stored();
    // What "Set Launch Interval" accepts: a number and nothing else but blanks around it.
    static bool isNumeric(QStringView text);
    // Stores text as typed, for the next pause to read.
    static Outcome<QString> store(const QString &text);

    const QString &text() const { return m_text; }
    // The number at the start of the text; 0 when there is none, so that a value the check
    // would refuse never makes a pause that lasts for ever.
    double seconds() const;

private:
    QString m_text;
};
