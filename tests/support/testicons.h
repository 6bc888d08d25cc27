#pragma once

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>

// Icons as the tests compare them: 32 × 32 pixels in one format.

inline QImage imageOf(const QIcon &icon)
{
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

inline QImage square(Qt::GlobalColor color)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// The icon files the tests choose from, written to DIR: red.ico, blue.ico, "internal" (a red
// icon by the built-in icon's word), picture (a PNG without an extension), text.ico (no picture)
// and truncated.ico (blue.ico cut off).
inline bool writeIconFiles(const QString &dir)
{
    const auto write = [&dir](const char *name, const QByteArray &data) {
        QFile file(dir + QLatin1String(name));
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
    };
    QFile blue(dir + QStringLiteral("blue.ico"));
    return QDir().mkpath(dir) && square(Qt::red).save(dir + QStringLiteral("red.ico"), "ICO")
        && square(Qt::blue).save(blue.fileName(), "ICO")
        && square(Qt::red).save(dir + QStringLiteral("internal"), "ICO")
        && square(Qt::red).save(dir + QStringLiteral("picture"), "PNG")
        && write("text.ico", "no picture\n") && blue.open(QIODevice::ReadOnly)
        && write("truncated.ico", blue.read(30));
}

inline QIcon builtInIcon()
{
    return QIcon(QStringLiteral(":/quillmoor.xpm"));
}
