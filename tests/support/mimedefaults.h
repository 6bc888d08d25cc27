#pragma once

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QtGlobal>

// The applications a test sets to open documents and addresses, and no others: the desktop's
// own are out of sight, its MIME database stays. Made before anything asks for an application,
// since GIO reads the folders' names once.
class MimeDefaults final
{
public:
    MimeDefaults()
    {
        const QString system = m_dir.path() + QStringLiteral("/system");
        QDir().mkpath(system);
        QFile::link(QStringLiteral("/usr/share/mime"), system + QStringLiteral("/mime"));
        QDir().mkpath(applications());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_DATA_DIRS", system.toUtf8());
    }

    QString applications() const { return m_dir.path() + QStringLiteral("/data/applications"); }

    // Installs the desktop entry `id` (such as "viewer.desktop") and sets it for `types` (MIME
    // types, or x-scheme-handler/<scheme>) in mimeapps.list.
    bool setDefault(const QString &id, const QByteArray &entry, const QStringList &types)
    {
        if (!install(id, entry))
            return false;
        for (const QString &type : types)
            m_defaults.insert(type, id);
        QByteArray list = "[Default Applications]\n";
        for (auto it = m_defaults.cbegin(); it != m_defaults.cend(); ++it)
            list += it.key().toUtf8() + '=' + it.value().toUtf8() + '\n';
        QFile mimeapps(applications() + QStringLiteral("/mimeapps.list"));
        return mimeapps.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && mimeapps.write(list) == list.size();
    }

    // Installs it only, as a hand-installed application is: no mimeapps.list line and no
    // mimeinfo.cache; its MimeType line alone says what it opens.
    bool install(const QString &id, const QByteArray &entry)
    {
        QFile file(applications() + u'/' + id);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(entry) >= 0;
    }

private:
    QTemporaryDir m_dir;
    QMap<QString, QString> m_defaults;
};
