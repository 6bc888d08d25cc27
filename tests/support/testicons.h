#pragma once

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

inline QIcon builtInIcon()
{
    return QIcon(QStringLiteral(":/quillmoor.xpm"));
}
