#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the desktop's programs: records every address handed to it. Install it with
// QDesktopServices::setUrlHandler(scheme, &recorder, "open").
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};
