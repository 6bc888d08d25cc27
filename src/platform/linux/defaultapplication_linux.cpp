#include "platform/linux/defaultapplication_linux.h"
#include "platform/linux/applicationlauncher_linux.h"
#include "platform/linux/desktopentry_linux.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QStandardPaths>

#include <sys/stat.h>

#include <dlfcn.h>
#include <type_traits>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace {

// GIO is loaded at the first question rather than linked: an idle program would otherwise keep
// its libraries resident for a look-up made only when a document is opened.
struct Gio
{
    decltype(&g_file_new_for_path) fileNewForPath = nullptr;
    decltype(&g_file_query_info) fileQueryInfo = nullptr;
    decltype(&g_file_info_get_content_type) fileInfoGetContentType = nullptr;
    decltype(&g_app_info_get_default_for_type) defaultForType = nullptr;
    decltype(&g_app_info_get_default_for_uri_scheme) defaultForUriScheme = nullptr;
    decltype(&g_desktop_app_info_get_type) desktopAppInfoGetType = nullptr;
    decltype(&g_desktop_app_info_get_filename) desktopAppInfoGetFilename = nullptr;
    decltype(&g_type_check_instance_is_a) typeCheckInstanceIsA = nullptr;
    decltype(&g_object_unref) objectUnref = nullptr;

    // nullptr when GIO is not installed: then no application is known.
    static const Gio *get()
    {
        static const Gio gio = load();
        return gio.objectUnref ? &gio : nullptr;
    }

private:
    static Gio load()
    {
        Gio gio;
        void *library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return gio;
        const auto bind = [library](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                ::dlsym(library, name));
            return function != nullptr;
        };
        Gio found;
        if (bind(found.fileNewForPath, "g_file_new_for_path")
            && bind(found.fileQueryInfo, "g_file_query_info")
            && bind(found.fileInfoGetContentType, "g_file_info_get_content_type")
            && bind(found.defaultForType, "g_app_info_get_default_for_type")
            && bind(found.defaultForUriScheme, "g_app_info_get_default_for_uri_scheme")
            && bind(found.desktopAppInfoGetType, "g_desktop_app_info_get_type")
            && bind(found.desktopAppInfoGetFilename, "g_desktop_app_info_get_filename")
            && bind(found.typeCheckInstanceIsA, "g_type_check_instance_is_a")
            && bind(found.objectUnref, "g_object_unref"))
            return found;
        return gio;
    }
};

// By the file's name and, where that leaves doubt, its first bytes.
QByteArray contentType(const Gio &gio, const QString &path)
{
    GFile *file = gio.fileNewForPath(QFile::encodeName(path).constData());
    GFileInfo *info = gio.fileQueryInfo(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    gio.objectUnref(file);
    if (!info)
        return {};
    const char *type = gio.fileInfoGetContentType(info);
    const QByteArray result = type ? QByteArray(type) : QByteArray();
    gio.objectUnref(info);
    return result;
}

// What stands at path instead of a file, in words.
QString kindOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("not a file");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("a named pipe");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("a socket");
    return S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? QStringLiteral("a device")
                                                          : QStringLiteral("not a file");
}

// The first entry matching patterns in folder, or in its folders down to depth, that exists
// and is no regular file; found by its kind alone, without opening anything.
QString firstNonFile(const QString &folder, const QStringList &patterns, int depth)
{
    const QDir dir(folder);
    const auto files = dir.entryInfoList(patterns, QDir::Files | QDir::System | QDir::Hidden);
    for (const QFileInfo &entry : files) {
        if (entry.exists() && !entry.isFile())
            return entry.filePath();
    }
    if (depth > 0) {
        const auto folders = dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo &inner : folders) {
            if (QString found = firstNonFile(inner.filePath(), patterns, depth - 1);
                !found.isEmpty())
                return found;
        }
    }
    return {};
}

// Where GIO looks: mimeapps.list in the configuration folders, the applications folders
// (entries, lists, caches) and the MIME database in the data folders.
QString blockingFile()
{
    const QStringList lists {QStringLiteral("*mimeapps.list")};
    for (const QString &folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        if (QString found = firstNonFile(folder, lists, 0); !found.isEmpty())
            return found;
    }
    const QStringList applications {QStringLiteral("*.desktop"), QStringLiteral("*.list"),
                                    QStringLiteral("*.cache")};
    for (const QString &folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        QString found = firstNonFile(folder + QStringLiteral("/applications"), applications, 4);
        if (found.isEmpty())
            found = firstNonFile(folder + QStringLiteral("/mime"), {QStringLiteral("*")}, 0);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// GIO knows an installed application's types only from the folders' mimeinfo.cache, which a
// hand-installed entry may lack; the desktop's opener reads the entries' MimeType itself. So
// does this, with its rule: the highest InitialPreference, the first found of equals.
QString installedFor(const QByteArray &type)
{
    if (type.isEmpty())
        return {};
    const QString wanted = QString::fromUtf8(type);
    QSet<QString> seen; // an entry's id in an earlier folder hides the later ones
    QString best;
    int bestPreference = -1;
    for (const QString &folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        // Files only: a pipe or a device named *.desktop would block the read.
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString id = path.mid(folder.size() + 1).replace(u'/', u'-');
            if (seen.contains(id))
                continue;
            seen.insert(id);
            const DesktopEntry::Group group = DesktopEntry::readGroup(path);
            if (!group.outcome
                || !group.keys.value(QStringLiteral("MimeType")).split(u';').contains(wanted)
                || !ApplicationLauncher::command(path).outcome)
                continue;
            const int preference = group.keys.value(QStringLiteral("InitialPreference")).toInt();
            if (preference > bestPreference) {
                bestPreference = preference;
                best = path;
            }
        }
    }
    return best;
}

// The path of its desktop entry; empty when none is set or installed.
struct SetApplication
{
    QString entry;
    Outcome<QString> outcome;
};

SetApplication desktopEntryFor(const QUrl &document)
{
    const Gio *gio = Gio::get();
    if (!gio)
        return {};
    if (const QString found = blockingFile(); !found.isEmpty()) {
        return {{},
                Failure {QStringLiteral("%1 is %2 where the desktop keeps a file, so the "
                                        "application set to open it could not be looked up")
                             .arg(found, kindOf(found))}};
    }
    GAppInfo *application = nullptr;
    QByteArray type;
    if (document.isLocalFile()) {
        type = contentType(*gio, document.toLocalFile());
        if (!type.isEmpty())
            application = gio->defaultForType(type.constData(), FALSE);
    } else if (!document.scheme().isEmpty()) {
        type = "x-scheme-handler/" + document.scheme().toUtf8();
        application = gio->defaultForUriScheme(document.scheme().toUtf8().constData());
    }
    if (!application)
        return {installedFor(type), {}};
    SetApplication set;
    if (gio->typeCheckInstanceIsA(reinterpret_cast<GTypeInstance *>(application),
                                  gio->desktopAppInfoGetType())) {
        if (const char *file = gio->desktopAppInfoGetFilename(
                reinterpret_cast<GDesktopAppInfo *>(application)))
            set.entry = QFile::decodeName(file);
    }
    gio->objectUnref(application);
    return set;
}

} // namespace

DefaultApplication::Opened DefaultApplication::open(const QUrl &document)
{
    const SetApplication set = desktopEntryFor(document);
    if (!set.outcome)
        return {true, set.outcome};
    if (set.entry.isEmpty())
        return {};
    return {true, ApplicationLauncher::start(set.entry, document)};
}
