#include "widgets/tray.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

namespace {
// Icon files are small; anything larger is not worth decoding on the tray's behalf.
constexpr qint64 MaxPictureBytes = 16 * 1024 * 1024;
} // namespace

Tray::Tray(const QIcon &builtIn, QObject *parent)
    : QObject(parent)
    , m_builtIn(builtIn)
    , m_icon(builtIn)
{
    // No context menu of Qt's own: every button goes to MouseUp, which opens the one menu.
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                    Q_EMIT MouseUp(Qt::LeftButton);
                    break;
                case QSystemTrayIcon::Context:
                    Q_EMIT MouseUp(Qt::RightButton);
                    break;
                case QSystemTrayIcon::MiddleClick:
                    Q_EMIT MouseUp(Qt::MiddleButton);
                    break;
                default:
                    break;
                }
            });
}

double Tray::builtInHandle() const
{
    return double(m_builtIn.cacheKey());
}

void Tray::setIcon(double handle)
{
    Q_UNUSED(handle) // the built-in icon is the only icon the program has a handle of
    m_icon = m_builtIn;
}

void Tray::setIcon(const QString &path)
{
    const QIcon picture = loadPicture(path);
    m_icon = picture.isNull() ? m_builtIn : picture;
}

void Tray::setIcon(const QIcon &picture)
{
    m_icon = picture.isNull() ? m_builtIn : picture;
}

void Tray::setAction(int action)
{
    switch (action) {
    case Add:
        apply();
        m_trayIcon.show();
        m_inTray = true;
        break;
    case Modify:
        apply();
        break;
    case Delete:
        if (!m_inTray)
            return;
        m_trayIcon.hide();
        m_inTray = false;
        Q_EMIT IconDeleted();
        break;
    default:
        break;
    }
}

void Tray::showMessage(const QString &text)
{
    m_lastMessage = text;
    m_trayIcon.showMessage(QStringLiteral("Quillmoor"), text, QSystemTrayIcon::Warning);
}

void Tray::apply()
{
    m_trayIcon.setIcon(m_icon);
    m_trayIcon.setToolTip(m_toolTip);
}

QIcon Tray::loadPicture(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > MaxPictureBytes)
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    return QIcon(QPixmap::fromImage(image));
}
