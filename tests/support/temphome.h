#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

// Points the per-user folders (settings, autostart, runtime) at a fresh temporary folder, so
// that a test never touches the real user's files.
class TempHome final
{
public:
    TempHome()
    {
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", configPath().toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtimePath().toUtf8());
        QDir().mkpath(runtimePath());
        QFile::setPermissions(runtimePath(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ExeOwner);
    }

    QString path() const { return m_dir.path(); }
    QString configPath() const { return m_dir.path() + QStringLiteral("/config"); }
    QString runtimePath() const { return m_dir.path() + QStringLiteral("/run"); }
    QString storePath() const { return configPath() + QStringLiteral("/quillmoor/61027.ini"); }

private:
    QTemporaryDir m_dir;
};
