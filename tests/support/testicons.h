#pragma once

#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QtEndian>

// Icons as the tests compare them: 32 × 32 pixels in one format.

inline QImage imageOf(const QIcon &icon)
{
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

inline QImage square(Qt::GlobalColor color, int side = 32)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// The icon files the tests choose from, written to DIR: red.ico, blue.ico, "internal" (a red
// icon by the built-in icon's word), picture (a PNG without an extension), text.ico (no picture)
// and truncated.ico (blue.ico cut off).
inline bool writeIconFiles(const QString &dir)
{
    return QDir().mkpath(dir) && square(Qt::red).save(dir + QStringLiteral("red.ico"), "ICO")
        && square(Qt::blue).save(dir + QStringLiteral("blue.ico"), "ICO")
        && square(Qt::red).save(dir + QStringLiteral("internal"), "ICO")
        && square(Qt::red).save(dir + QStringLiteral("picture"), "PNG")
        && writeFile(dir + QStringLiteral("text.ico"), "no picture\n")
        && writeFile(dir + QStringLiteral("truncated.ico"),
                     readFile(dir + QStringLiteral("blue.ico")).left(30));
}

// An icon file holding each image in the order given, as icon editors save several sizes.
inline QByteArray icoFile(const QList<QImage> &images)
{
    QByteArray header("\0\0\1\0\0\0", 6), data;
    qToLittleEndian(quint16(images.size()), header.data() + 4);
    for (const QImage &image : images) {
        // Qt writes one image as a header, its entry, then its bitmap.
        QBuffer single;
        single.open(QIODevice::WriteOnly);
        image.save(&single, "ICO");
        QByteArray entry = single.data().mid(6, 16);
        qToLittleEndian(quint32(6 + 16 * images.size() + data.size()), entry.data() + 12);
        header += entry;
        data += single.data().mid(22);
    }
    return header + data;
}

inline QIcon builtInIcon()
{
    return QIcon(QStringLiteral(":/quillmoor.xpm"));
}
