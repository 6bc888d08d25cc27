#pragma once

#include <QString>
#include <QStringList>

// What the program tells the user in passing, as data: a summary, and the lines it sums up when
// there is more to say than one line.
struct Notice
{
    QString summary;
    QStringList lines;

    // As one text: the summary alone, or with a colon and its lines below it.
    QString text() const
    {
        return lines.isEmpty() ? summary : summary + QStringLiteral(":\n") + lines.join(u'\n');
    }
};
