#pragma once

#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QtEndian>

// Icons as the tests compare them: 32 × 32 pixels (or the side given) in one format.

inline QImage imageOf(const QIcon &icon, int side = 32)
{
    return icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
}

inline QImage square(Qt::GlobalColor color, int side = 32)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// An icon file holding each image in the order given, as icon editors save several sizes.
inline QByteArray icoFile(const QList<QImage> &images)
{
    QByteArray header(6, 0);
    header[2] = 1;
    qToLittleEndian(quint16(images.size()), header.data() + 4);
    QByteArray directory;
    QByteArray data;
    for (const QImage &image : images) {
        // Qt's file of one image: the header, its one entry, then its bitmap.
        QByteArray single;
        QBuffer buffer(&single);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "ICO");
        QByteArray entry = single.mid(6, 16);
        qToLittleEndian(quint32(6 + 16 * images.size() + data.size()), entry.data() + 12);
        directory += entry;
        data += single.mid(22);
    }
    return header + directory + data;
}

inline QIcon builtInIcon()
{
    return QIcon(QStringLiteral(":/quillmoor.xpm"));
}
