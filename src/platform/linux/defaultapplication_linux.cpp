#include "platform/linux/defaultapplication_linux.h"

#include <QFile>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace {

// By the file's name and, where that leaves doubt, its first bytes.
QByteArray contentType(const QString &path)
{
    GFile *file = g_file_new_for_path(QFile::encodeName(path).constData());
    GFileInfo *info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    g_object_unref(file);
    if (!info)
        return {};
    const char *type = g_file_info_get_content_type(info);
    const QByteArray result = type ? QByteArray(type) : QByteArray();
    g_object_unref(info);
    return result;
}

} // namespace

QString DefaultApplication::desktopEntryFor(const QUrl &document)
{
    GAppInfo *application = nullptr;
    if (document.isLocalFile()) {
        const QByteArray type = contentType(document.toLocalFile());
        if (!type.isEmpty())
            application = g_app_info_get_default_for_type(type.constData(), FALSE);
    } else if (!document.scheme().isEmpty()) {
        application = g_app_info_get_default_for_uri_scheme(document.scheme().toUtf8().constData());
    }
    if (!application)
        return {};
    QString path;
    if (G_IS_DESKTOP_APP_INFO(application)) {
        if (const char *file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(application)))
            path = QFile::decodeName(file);
    }
    g_object_unref(application);
    return path;
}
