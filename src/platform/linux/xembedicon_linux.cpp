#include "platform/linux/xembedicon_linux.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {
// The system tray protocol's request to dock a window.
constexpr quint32 RequestDock = 0;
// The size trays give icons unless they choose their own.
constexpr int IconSize = 22;
// A balloon goes by itself after this long, or at a click.
constexpr int BalloonMs = 10000;
constexpr int BalloonWidth = 400;

class IconWindow final : public QWidget
{
public:
    IconWindow(TrayIcon &owner, const QIcon &icon)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint)
        , m_owner(owner)
        , m_icon(icon)
    {
        setAttribute(Qt::WA_AlwaysShowToolTips);
        setAttribute(Qt::WA_QuitOnClose, false);
        setGeometry(0, 0, IconSize, IconSize);
        // Trays size the icon from its size hints: without a minimum it may get none.
        setMinimumSize(IconSize, IconSize);
    }

    void setIcon(const QIcon &icon)
    {
        m_icon = icon;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_icon.paint(&painter, rect());
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton))
            Q_EMIT m_owner.clicked(event->button());
    }

private:
    TrayIcon &m_owner;
    QIcon m_icon;
};

// A passing notice beside the icon, gone after a while or at a click. Texts are shown as they
// are, never as markup.
class Balloon final : public QFrame
{
public:
    Balloon(const QString &title, const QString &text)
        : QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameShape(QFrame::Box);
        auto *layout = new QVBoxLayout(this);
        for (const QString &line : {title, text}) {
            auto *label = new QLabel(line);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setMaximumWidth(BalloonWidth);
            layout->addWidget(label);
        }
        QFont bold = font();
        bold.setBold(true);
        layout->itemAt(0)->widget()->setFont(bold);
        QTimer::singleShot(BalloonMs, this, &QWidget::close);
    }

protected:
    void mousePressEvent(QMouseEvent *) override { close(); }
};

template<typename Event> const Event &as(const xcb_generic_event_t &event)
{
    return reinterpret_cast<const Event &>(event);
}
} // namespace

XEmbedIconLinux::XEmbedIconLinux()
{
    // Only Qt's X11 connection: others (offscreen's) may offer one without a server behind it.
    const auto *x11 = qGuiApp && QGuiApplication::platformName() == u"xcb"
        ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
        : nullptr;
    m_x = x11 ? x11->connection() : nullptr;
    if (!m_x)
        return; // not on X: no XEmbed tray to dock in
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        screen = 0;
    std::free(host);
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(m_x));
    for (int skip = screen; roots.rem > 1 && skip > 0; --skip)
        xcb_screen_next(&roots);
    m_root = roots.data->root;
    m_selection = atom(QByteArray("_NET_SYSTEM_TRAY_S" + QByteArray::number(screen)).constData());
    m_opcode = atom("_NET_SYSTEM_TRAY_OPCODE");
    m_manager = atom("MANAGER");
    // Qt selects the root window's structure events already: MANAGER comes to every client.
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XEmbedIconLinux::~XEmbedIconLinux()
{
    undock();
    if (m_x && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

xcb_atom_t XEmbedIconLinux::atom(const char *name) const
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        m_x, xcb_intern_atom(m_x, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return value;
}

xcb_window_t XEmbedIconLinux::findTray() const
{
    if (!m_x)
        return XCB_NONE;
    xcb_get_selection_owner_reply_t *reply
        = xcb_get_selection_owner_reply(m_x, xcb_get_selection_owner(m_x, m_selection), nullptr);
    const xcb_window_t owner = reply ? reply->owner : XCB_NONE;
    std::free(reply);
    return owner;
}

bool XEmbedIconLinux::trayPresent() const
{
    return findTray() != XCB_NONE;
}

void XEmbedIconLinux::setIcon(const QIcon &icon)
{
    m_icon = icon;
    if (m_window)
        static_cast<IconWindow *>(m_window.get())->setIcon(icon);
}

void XEmbedIconLinux::setToolTip(const QString &text)
{
    m_toolTip = text;
    if (m_window)
        m_window->setToolTip(text);
}

void XEmbedIconLinux::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (visible)
        dock();
    else
        undock();
}

bool XEmbedIconLinux::showMessage(const QString &title, const QString &text)
{
    if (!m_window || !m_window->isVisible())
        return false;
    // One balloon at a time: a notice that comes while one is up joins it, so that neither
    // goes before it was read.
    const QString shown = m_balloon ? m_balloonText + QStringLiteral("\n\n") + text : text;
    auto *balloon = new Balloon(title, shown);
    const QRect icon(m_window->mapToGlobal(QPoint(0, 0)), m_window->size());
    const QRect room = m_window->screen()->availableGeometry();
    const QSize size = balloon->sizeHint();
    // Too long for a balloon: the program's own window, which scrolls, says it instead.
    if (size.height() > room.height() / 3) {
        delete balloon;
        return false;
    }
    // Below an icon in the top half of the screen, else above it; on the screen either way.
    QPoint at(icon.center().x() - size.width() / 2,
              icon.center().y() < room.center().y() ? icon.bottom() + 1
                                                    : icon.top() - size.height());
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - size.width())));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - size.height())));
    balloon->move(at);
    if (m_balloon)
        m_balloon->close();
    balloon->show();
    m_balloon = balloon;
    m_balloonText = shown;
    return true;
}

void XEmbedIconLinux::dock()
{
    undock();
    m_tray = findTray();
    if (m_tray == XCB_NONE)
        return;
    // Told when this tray goes, so that the window goes with it rather than staying on the
    // root window.
    const quint32 events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_x, m_tray, XCB_CW_EVENT_MASK, &events);
    m_window = std::make_unique<IconWindow>(*this, m_icon);
    m_window->setToolTip(m_toolTip);
    // Made but not mapped: shown once the tray has taken it in.
    const auto window = xcb_window_t(m_window->winId());
    xcb_client_message_event_t request {};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = m_tray;
    request.type = m_opcode;
    request.data.data32[0] = XCB_CURRENT_TIME;
    request.data.data32[1] = RequestDock;
    request.data.data32[2] = window;
    xcb_send_event(m_x, 0, m_tray, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(m_x);
}

void XEmbedIconLinux::undock()
{
    delete m_balloon.data();
    m_window.reset();
    m_tray = XCB_NONE;
}

bool XEmbedIconLinux::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_visible)
        return false;
    const auto &event = *static_cast<const xcb_generic_event_t *>(message);
    switch (event.response_type & ~0x80) {
    case XCB_CLIENT_MESSAGE: {
        const auto &news = as<xcb_client_message_event_t>(event);
        // A tray came, or another took over: offer it a window.
        if (news.type == m_manager && news.window == m_root && news.data.data32[1] == m_selection)
            dock();
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (m_tray != XCB_NONE && as<xcb_destroy_notify_event_t>(event).window == m_tray)
            undock();
        break;
    case XCB_REPARENT_NOTIFY: {
        const auto &moved = as<xcb_reparent_notify_event_t>(event);
        // In the tray now: shown there, before Qt handles the tray's mapping it.
        if (m_window && moved.window == xcb_window_t(m_window->winId()) && moved.parent != m_root)
            m_window->show();
        break;
    }
    default:
        break;
    }
    return false;
}

std::unique_ptr<TrayIcon> createTrayIcon()
{
    return std::make_unique<XEmbedIconLinux>();
}
