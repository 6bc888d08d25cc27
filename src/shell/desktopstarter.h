#pragma once

#include "logic/programstarter.h"

#include <QStringList>

class QUrl;

// Starts entries as detached processes, opens documents and addresses with the desktop's
// application for them, and starts what a launcher file describes.
class DesktopStarter final : public ProgramStarter
{
public:
    bool start(const QString &entry, QString &reason) override;

private:
    static bool startProgram(const QString &program, const QStringList &arguments, QString &reason,
                             const QString &folder = {});
    static bool startLauncher(const QString &path, QString &reason);
    static bool openUrl(const QUrl &url, QString &reason);
};
