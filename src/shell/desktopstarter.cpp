#include "shell/desktopstarter.h"
#include "platform/entrystarter.h"

DesktopStarter::DesktopStarter()
    : m_starter(createEntryStarter())
{
    m_starter->setLateFailureHandler([this](const std::string &entry, const std::string &why) {
        failedLater(QString::fromStdString(entry), QString::fromStdString(why));
    });
}

DesktopStarter::~DesktopStarter() = default;

bool DesktopStarter::start(const QString &entry, QString &reason)
{
    // What the settings file could not read stands there as U+FFFD: it names nothing to start.
    if (entry.contains(QChar::ReplacementCharacter)) {
        reason = QStringLiteral("its text in the settings file is damaged");
        return false;
    }
    std::string why;
    if (m_starter->start(entry.toStdString(), why))
        return true;
    reason = QString::fromStdString(why);
    return false;
}
