#include "widgets/tray.h"
#include "widgets/centerform.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace {
// Icon files are small; anything larger is not worth decoding on the tray's behalf.
constexpr qint64 MaxPictureBytes = 16 * 1024 * 1024;
// More sizes than any icon file carries.
constexpr int MaxPictureSizes = 32;
} // namespace

Tray::Tray(const QIcon &builtIn, QObject *parent)
    : Tray(builtIn, createStatusNotifier(), createTrayIcon(), NoTrayDelay, parent)
{ }

Tray::Tray(const QIcon &builtIn, std::unique_ptr<StatusNotifier> notifier,
           std::unique_ptr<TrayIcon> trayIcon, std::chrono::milliseconds noTrayDelay,
           QObject *parent)
    : QObject(parent)
    , m_notifier(std::move(notifier))
    , m_trayIcon(std::move(trayIcon))
    , m_builtIn(builtIn)
    , m_icon(builtIn)
{
    // Where the program cannot place its menu at the pointer, the host's menu is the menu.
    m_notifier->setOpensOwnMenu(Corvath::CanPlaceWindows());
    connect(m_notifier.get(), &StatusNotifier::hostChanged, this, &Tray::place);
    connect(m_notifier.get(), &StatusNotifier::requested, this, &Tray::requested);
    connect(m_notifier.get(), &StatusNotifier::answered, this, &Tray::answered);
    m_noTray.setSingleShot(true);
    m_noTray.setInterval(noTrayDelay);
    connect(&m_noTray, &QTimer::timeout, this, &Tray::noTrayCheck);
    // No context menu of the tray's own: every button goes to MouseUp, which opens the one menu.
    connect(m_trayIcon.get(), &TrayIcon::clicked, this, &Tray::MouseUp);
}

namespace {

// A notice in a window of the program's own: never modal, and however long the text, no larger
// than the screen, its OK button in reach; the text scrolls.
QWidget *noticeWindow(const QString &text, QWidget *parent)
{
    auto *window = new QDialog(parent);
    window->setWindowTitle(QStringLiteral("Quillmoor"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto *icon = new QLabel;
    icon->setPixmap(
        window->style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, window).pixmap(32));
    auto *view = new QPlainTextEdit(text);
    view->setObjectName(QStringLiteral("notice"));
    view->setReadOnly(true);
    view->setFrameShape(QFrame::NoFrame);
    view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view->viewport()->setAutoFillBackground(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, window, &QWidget::close);
    auto *layout = new QGridLayout(window);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(view, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);

    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    QSize room = screen ? screen->availableGeometry().size() : QSize(640, 480);
    room -= room / 10; // the frame the desktop adds must fit too
    const QFontMetrics metrics(view->font());
    const int width
        = std::clamp(metrics.boundingRect(QRect(), 0, text).width(), 300, room.width() * 2 / 3);
    const int height
        = metrics.boundingRect(QRect(0, 0, width, 0), Qt::TextWrapAnywhere, text).height();
    window->setMaximumSize(room);
    window->resize(QSize(width + icon->sizeHint().width(), height + buttons->sizeHint().height())
                       .grownBy(QMargins(40, 40, 40, 40))
                       .boundedTo(room));
    // On the screen, not over the hidden main window it belongs to.
    Corvath::CenterForm(*window);
    return window;
}

} // namespace

Tray::~Tray()
{
    qDeleteAll(m_noticeBoxes);
}

void Tray::setMenu(QMenu &menu)
{
    m_notifier->setMenu(menu);
}

QString Tray::noTrayText()
{
    return QStringLiteral("Quillmoor runs without a tray icon. A system tray shows it (for GNOME, "
                          "the AppIndicator extension).");
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
        m_inTray = true;
        place();
        if (!m_hostSeen && !m_noTray.isActive())
            m_noTray.start();
        break;
    case Modify:
        apply();
        break;
    case Delete:
        if (!m_inTray)
            return;
        m_inTray = false;
        place();
        Q_EMIT IconDeleted();
        break;
    default:
        break;
    }
}

void Tray::showMessage(const Notice &notice)
{
    const QString text = notice.text();
    m_lastMessage = text;
    const bool oneLine = notice.lines.isEmpty();
    const QString summary = oneLine ? QStringLiteral("Quillmoor") : notice.summary;
    const QString body = oneLine ? notice.summary : notice.lines.join(u'\n');
    // Kept before asking: the notifier may answer at once.
    const quint64 number = ++m_lastNotice;
    m_unanswered.emplace(number, text);
    m_notifier->notify(number, summary, body);
}

void Tray::answered(quint64 notice, bool shown)
{
    // Taken out at the first answer: a notice is shown once.
    auto asked = m_unanswered.extract(notice);
    if (asked && !shown)
        showFallback(asked.mapped());
}

void Tray::showFallback(const QString &text)
{
    // A balloon needs the icon in a tray that has them; a window of the program's own Wayland
    // allows too.
    if (shownAsWindow() && m_trayIcon->showMessage(QStringLiteral("Quillmoor"), text))
        return;
    QWidget *box = noticeWindow(text, qobject_cast<QWidget *>(parent()));
    m_noticeBoxes.removeAll(nullptr);
    m_noticeBoxes.append(box);
    box->show();
}

void Tray::apply()
{
    m_shownIcon = m_icon;
    m_shownToolTip = m_toolTip;
    m_trayIcon->setIcon(m_icon);
    m_trayIcon->setToolTip(m_toolTip);
    m_notifier->setIcon(m_icon);
    m_notifier->setToolTip(m_toolTip);
}

void Tray::place()
{
    const bool byHost = shownByHost();
    m_hostSeen = m_hostSeen || byHost;
    m_trayIcon->setVisible(m_inTray && !byHost);
    m_notifier->setShown(m_inTray);
}

void Tray::requested(StatusNotifier::Request request)
{
    if (!m_inTray || !Corvath::CanPlaceWindows())
        return;
    switch (request) {
    case StatusNotifier::Request::Activate:
        Q_EMIT MouseUp(Qt::LeftButton);
        break;
    case StatusNotifier::Request::SecondaryActivate:
        Q_EMIT MouseUp(Qt::MiddleButton);
        break;
    case StatusNotifier::Request::ContextMenu:
        Q_EMIT MouseUp(Qt::RightButton);
        break;
    }
}

void Tray::noTrayCheck()
{
    if (m_inTray && !m_hostSeen && !m_notifier->hostPresent() && !m_trayIcon->trayPresent()) {
        showMessage({noTrayText(), {}});
    }
}

QIcon Tray::loadPicture(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > MaxPictureBytes)
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // Every size the file holds, the first of each: the preview and each tray then take the
    // one that fits them rather than the file's first.
    QIcon icon;
    QList<QSize> sizes;
    const int count = std::clamp(reader.imageCount(), 1, MaxPictureSizes);
    for (int i = 0; i < count && (i == 0 || reader.jumpToImage(i)); ++i) {
        const QImage image = reader.read();
        if (image.isNull() || sizes.contains(image.size()))
            continue;
        sizes.append(image.size());
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
