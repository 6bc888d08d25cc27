#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QList>
#include <QString>

class StatusNotifierItemLinux;

// The org.kde.StatusNotifierItem wire types: an image as width, height and ARGB32 bytes in
// network byte order, and the tooltip as icon name, images, title and text.
struct SniPixmap
{
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniPixmapList = QList<SniPixmap>;

struct SniToolTip
{
    QString iconName;
    SniPixmapList pixmaps;
    QString title;
    QString description;
};

// A notification's image-data hint: width, height, row stride, alpha, bits per sample,
// channels and the RGBA bytes.
struct NoticeImage
{
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool hasAlpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray bytes;
};

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)
Q_DECLARE_METATYPE(NoticeImage)

QDBusArgument &operator<<(QDBusArgument &argument, const SniPixmap &pixmap);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniPixmap &pixmap);
QDBusArgument &operator<<(QDBusArgument &argument, const SniToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniToolTip &toolTip);
QDBusArgument &operator<<(QDBusArgument &argument, const NoticeImage &image);
const QDBusArgument &operator>>(const QDBusArgument &argument, NoticeImage &image);

// org.kde.StatusNotifierItem on the item's object.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusNotifierItemAdaptor)
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ empty)
    Q_PROPERTY(QString IconName READ empty)
    Q_PROPERTY(SniPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ empty)
    Q_PROPERTY(SniPixmapList OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ empty)
    Q_PROPERTY(SniPixmapList AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ empty)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItemLinux &item);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("quillmoor"); }
    QString title() const { return QStringLiteral("Quillmoor"); }
    // Hosts hide a passive item; it stays registered by the connection's name until the end.
    QString status() const;
    int windowId() const { return 0; }
    QString empty() const { return {}; }
    SniPixmapList iconPixmap() const;
    SniPixmapList noPixmap() const { return {}; }
    SniToolTip toolTip() const;
    // Hosts that honour it show the menu for the left button as well.
    bool itemIsMenu() const;
    QDBusObjectPath menu() const;

public Q_SLOTS:
    // Answers an error where the program does not open its own menu, so that hosts which send
    // the left button here (Plasma) open the exported menu instead.
    void Activate(int x, int y, const QDBusMessage &message);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString &orientation);

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);

private:
    StatusNotifierItemLinux &m_item;
};
