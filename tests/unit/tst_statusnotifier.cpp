#include "fixture.h"
#include "platform/linux/dbusmenu_linux.h"
#include "platform/linux/statusnotifieritem_linux.h"
#include "shell/menue.h"
#include "testicons.h"
#include "widgets/tray.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace std::chrono_literals;

// A tray host that draws the item itself, as far as the tray sees it.
class FakeHost final : public StatusNotifier
{
public:
    bool present = false;
    bool shown = false;
    QString toolTip;
    QIcon icon;
    QStringList notices;
    bool answers = true; // the notification service answers with an id

    bool hostPresent() const override { return present; }
    void setMenu(QMenu &) override { }
    void setToolTip(const QString &text) override { toolTip = text; }
    void setIcon(const QIcon &value) override { icon = value; }
    void setShown(bool value) override { shown = value; }
    void notify(quint64 notice, const QString &, const QString &text) override
    {
        notices.append(text);
        Q_EMIT answered(notice, answers);
    }
    void comes(bool value)
    {
        present = value;
        Q_EMIT hostChanged(value);
    }
};

// A notification service on the test's bus that answers Notify only when told, as a busy one
// answers late.
class LateNotifications final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QList<QDBusMessage> held;
    QList<uint> closed;
    int notifies = 0;
    bool late = true;

public Q_SLOTS:
    QStringList GetCapabilities() { return {}; }
    uint Notify(const QString &, uint, const QString &, const QString &, const QString &,
                const QStringList &, const QVariantMap &, int, const QDBusMessage &message)
    {
        if (late) {
            message.setDelayedReply(true);
            held.append(message);
        }
        return uint(++notifies);
    }
    void CloseNotification(uint id) { closed.append(id); }
};

// The tray on a host that draws the item itself, and the menu exported to it.
class TestStatusNotifier : public QObject, private Fixture
{
    Q_OBJECT

private:
    // A tray with a fake host, kept in m_host.
    std::unique_ptr<Tray> trayOnFakeHost(std::chrono::milliseconds noTrayDelay)
    {
        auto host = std::make_unique<FakeHost>();
        m_host = host.get();
        return std::make_unique<Tray>(builtInIcon(), std::move(host), createTrayIcon(),
                                      noTrayDelay, &m_owner);
    }
    FakeHost *m_host = nullptr;
    QWidget m_owner; // the hidden main window, as in the program

    // The notices shown in windows of the program's own, and the windows.
    static QStringList noticeBoxes(QWidgetList *windows = nullptr)
    {
        QStringList texts;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *view = window->findChild<QPlainTextEdit *>(QStringLiteral("notice"));
            if (view && window->isVisible()) {
                texts.append(view->toPlainText());
                if (windows)
                    windows->append(window);
            }
        }
        return texts;
    }

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void trayShowsOnOneHostAtATime()
    {
        auto tray = trayOnFakeHost(1h);
        QSignalSpy mouseUp(tray.get(), &Tray::MouseUp);
        tray->setToolTip(Menue::activatedToolTip());
        tray->setAction(Tray::Add);
        QVERIFY(tray->shownAsWindow());
        QVERIFY(m_host->shown); // offered to a host that comes later

        m_host->comes(true);
        QVERIFY(!tray->shownAsWindow());
        QVERIFY(tray->shownByHost());
        QCOMPARE(m_host->toolTip, Menue::activatedToolTip());
        tray->showMessage({QStringLiteral("Could not start x: gone"), {}});
        QCOMPARE(m_host->notices, QStringList {QStringLiteral("Could not start x: gone")});
        QVERIFY(noticeBoxes().isEmpty());
        m_host->answers = false; // no id: the program's own window tells it
        tray->showMessage({QStringLiteral("Could not start y: gone"), {}});
        QCOMPARE(noticeBoxes(), QStringList {QStringLiteral("Could not start y: gone")});
        // However long, the window fits the screen and the text is whole.
        const QString longText
            = QStringList(200, u"Could not start /opt/"_s + QString(400, u'x')).join(u'\n');
        tray->showMessage({longText, {}});
        QWidgetList windows;
        const qsizetype shown = noticeBoxes(&windows).indexOf(longText);
        QVERIFY(shown >= 0);
        const QSize size = windows.at(shown)->frameGeometry().size();
        const QSize room = windows.at(shown)->screen()->availableGeometry().size();
        QVERIFY2(room.expandedTo(size) == room,
                 qPrintable(u"%1x%2"_s.arg(size.width()).arg(size.height())));
        // Centred on the screen, not on the hidden window it belongs to.
        const QPoint off = windows.at(shown)->frameGeometry().center()
            - windows.at(shown)->screen()->availableGeometry().center();
        QVERIFY2(qAbs(off.x()) <= 4 && qAbs(off.y()) <= 4,
                 qPrintable(u"%1,%2"_s.arg(off.x()).arg(off.y())));
        Q_EMIT m_host->requested(StatusNotifier::Request::ContextMenu);
        Q_EMIT m_host->requested(StatusNotifier::Request::Activate);
        QCOMPARE(mouseUp.count(), 2);
        tray->setIcon(QIcon(QPixmap::fromImage(square(Qt::red))));
        tray->setAction(Tray::Modify);
        QCOMPARE(imageOf(m_host->icon), square(Qt::red));

        // The panel crashed: the icon for other trays takes over until a host is back.
        m_host->comes(false);
        QVERIFY(tray->shownAsWindow());
        QVERIFY(m_host->shown);
        tray->setAction(Tray::Delete);
        QVERIFY(!tray->shownAsWindow());
        QVERIFY(!m_host->shown);
        Q_EMIT m_host->requested(StatusNotifier::Request::ContextMenu);
        QCOMPARE(mouseUp.count(), 2);
    }

    void noTrayNoticeOnceOnlyWhenNoHostCame()
    {
        auto served = trayOnFakeHost(10ms);
        FakeHost *servedHost = m_host;
        served->setAction(Tray::Add);
        servedHost->comes(true);
        servedHost->comes(false);
        auto alone = trayOnFakeHost(10ms);
        FakeHost *aloneHost = m_host;
        aloneHost->answers = false;
        alone->setAction(Tray::Add);
        QTRY_COMPARE(aloneHost->notices, QStringList {Tray::noTrayText()});
        QCOMPARE(noticeBoxes(), QStringList {Tray::noTrayText()});
        alone->setAction(Tray::Modify);
        QCOMPARE(aloneHost->notices.size(), 1);
        // A host that came and went has shown the icon: no notice, though its check came first.
        QVERIFY(servedHost->notices.isEmpty());
    }

    // A service that answers late: each notice is shown once, in a window of the program's own
    // while the service owes an answer, and the late one is withdrawn when it comes.
    void lateNotificationServiceShowsNoticesOnce()
    {
        LateNotifications service;
        QDBusConnection serving
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"late-service"_s);
        QVERIFY(serving.registerObject(u"/org/freedesktop/Notifications"_s, &service,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(serving.registerService(u"org.freedesktop.Notifications"_s));
        Tray tray(builtInIcon(),
                  std::make_unique<StatusNotifierItemLinux>(
                      QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"item"_s), 50ms),
                  createTrayIcon(), 1h);
        tray.showMessage({u"first"_s, {}});
        tray.showMessage({u"second"_s, {}}); // waits behind the first
        const auto sortedBoxes = [] {
            QStringList boxes = noticeBoxes();
            boxes.sort();
            return boxes;
        };
        QTRY_COMPARE(sortedBoxes(), (QStringList {u"first"_s, u"second"_s}));
        tray.showMessage({u"third"_s, {}}); // the service owes an answer: not asked again
        QCOMPARE(noticeBoxes().size(), 3);
        QCOMPARE(service.notifies, 1);

        service.late = false;
        QVERIFY(serving.send(service.held.takeFirst().createReply(uint(1))));
        QTRY_COMPARE(service.closed, QList<uint> {1});
        // Answered in time again: one call after the other, no window.
        tray.showMessage({u"fourth"_s, {}});
        tray.showMessage({u"fifth"_s, {}});
        QTRY_COMPARE(service.notifies, 3);
        QCOMPARE(noticeBoxes().size(), 3);
        QCOMPARE(service.closed, QList<uint> {1});
        serving.unregisterService(u"org.freedesktop.Notifications"_s);
        QDBusConnection::disconnectFromBus(u"late-service"_s);
    }

    void hostGetsIconBytesInNetworkOrder()
    {
        QImage image = square(Qt::red);
        image.setPixel(1, 0, qRgb(0x12, 0x34, 0x56));
        const SniPixmapList pixmaps
            = StatusNotifierItemLinux::pixmapsOf(QIcon(QPixmap::fromImage(image)));
        const auto found = std::find_if(pixmaps.cbegin(), pixmaps.cend(),
                                        [](const SniPixmap &p) { return p.width == 32; });
        QVERIFY(found != pixmaps.cend());
        QCOMPARE(found->height, 32);
        QCOMPARE(found->bytes.size(), 32 * 32 * 4);
        QCOMPARE(found->bytes.left(8), QByteArray::fromHex("ffff0000ff123456"));

        // Real pixels whatever the program's scale, enlarged by whole pixels: no blend.
        QList<int> sides;
        for (const SniPixmap &pixmap : pixmaps) {
            sides.append(pixmap.width);
            for (qsizetype at = 0; pixmap.width > 32 && at < pixmap.bytes.size(); at += 4)
                QVERIFY(QByteArrayList({"ffff0000", "ff123456"})
                            .contains(pixmap.bytes.mid(at, 4).toHex()));
        }
        QCOMPARE(sides, (QList<int> {16, 22, 24, 32, 48, 64}));
        QCOMPARE(pixmaps.constLast().bytes.mid((64 + 3) * 4, 8).toHex(), "ff123456ffff0000");
    }

    void exportedMenuFollowsTheActions()
    {
        Menue menue(*m_net, *m_starter);
        DBusMenuExporter exporter(menue.sFile());
        layoutListsTheMenu(menue, exporter);
        QSignalSpy layout(&exporter, &DBusMenuExporter::layoutUpdated);
        if (!QTest::currentTestFailed())
            checkMarkFollowsTheToggle(menue, exporter);
        if (!QTest::currentTestFailed())
            hostClickRunsTheHandler(menue, exporter);
        if (!QTest::currentTestFailed())
            itemsComingAndGoingKeepTheirIds(menue, exporter, layout);
    }

private:
    static QStringList toggle() { return {u"toggle-type"_s, u"toggle-state"_s}; }

    // The menu's items in order, each with an id of its own, and the toggle marked as one.
    static void layoutListsTheMenu(Menue &menue, DBusMenuExporter &exporter)
    {
        QStringList labels;
        QList<int> ids;
        for (const DBusMenuLayoutItem &item : exporter.layout(0, -1, {}).children) {
            labels.append(item.properties.value(QStringLiteral("label")).toString());
            ids.append(item.id);
        }
        QStringList captions;
        for (const QAction *action : menue.sFile().actions())
            captions.append(action->text());
        QCOMPARE(labels, captions);
        QCOMPARE(QSet<int>(ids.cbegin(), ids.cend()).size(), 10);
        QVERIFY(!ids.contains(0));
        QVERIFY(exporter.layout(0, 0, {}).children.isEmpty());
        QCOMPARE(exporter.properties(exporter.idOf(&menue.sActivate()), toggle()),
                 (QVariantMap {{toggle()[0], QStringLiteral("checkmark")}, {toggle()[1], 1}}));
    }

    // The check mark follows the toggle, and only what changed is sent, once a click.
    static void checkMarkFollowsTheToggle(Menue &menue, DBusMenuExporter &exporter)
    {
        QSignalSpy properties(&exporter, &DBusMenuExporter::itemsPropertiesUpdated);
        menue.sActivate().trigger();
        QTRY_COMPARE(properties.count(), 1);
        const auto updated = properties.last().at(0).value<DBusMenuItemPropertiesList>();
        QCOMPARE(updated.size(), 1);
        QCOMPARE(updated[0].id, exporter.idOf(&menue.sActivate()));
        QCOMPARE(updated[0].properties, (QVariantMap {{toggle()[1], 0}}));
    }

    // A click from the host runs the item's handler once the call has returned; a flood of ids,
    // known and unknown, is answered with each known item once.
    static void hostClickRunsTheHandler(Menue &menue, DBusMenuExporter &exporter)
    {
        const int activate = exporter.idOf(&menue.sActivate());
        QVERIFY(exporter.event(activate, QStringLiteral("clicked")));
        QVERIFY(!menue.sActivate().isChecked());
        QTRY_VERIFY(menue.sActivate().isChecked());
        QCOMPARE(menue.tray().shownToolTip(), Menue::activatedToolTip());
        QVERIFY(!exporter.event(99, QStringLiteral("clicked")));
        QList<int> flood(1'000'000, 99);
        flood.prepend(activate);
        flood.append(activate);
        const auto group = DBusMenuAdaptor(exporter).GetGroupProperties(flood, toggle());
        QCOMPARE(group.size(), 1);
        QCOMPARE(group[0].id, activate);
    }

    // Items coming and going: a new revision each time, ids never reused or shifted.
    static void itemsComingAndGoingKeepTheirIds(Menue &menue, DBusMenuExporter &exporter,
                                                const QSignalSpy &layout)
    {
        QVERIFY(layout.isEmpty()); // neither the toggle nor the clicks changed the layout
        const uint revision = exporter.revision();
        auto extra = std::make_unique<QAction>(QStringLiteral("Extra"));
        menue.sFile().insertAction(&menue.sActivate(), extra.get());
        QCOMPARE(exporter.idOf(extra.get()), 11);
        extra.reset();
        menue.sFile().removeAction(&menue.sAbout());
        QCOMPARE(layout.count(), 3);
        QCOMPARE(exporter.revision(), revision + 3);
        QCOMPARE(layout.last().at(0).toUInt(), exporter.revision());
        menue.sFile().addAction(&menue.sAbout());
        QCOMPARE(exporter.idOf(&menue.sAbout()), 12);
        QCOMPARE(exporter.idOf(&menue.sExit()), 10);
        QCOMPARE(exporter.layout(0, -1, {}).children.size(), 10);
    }
};

QTEST_MAIN(TestStatusNotifier)
#include "tst_statusnotifier.moc"
