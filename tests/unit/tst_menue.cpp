#include "fixture.h"
#include "logic/iconsetting.h"
#include "settings/settingsstore.h"
#include "shell/menue.h"
#include "shell/splash.h"
#include "testfiles.h"
#include "testicons.h"
#include "widgets/tray.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

class TestMenue : public QObject, private Fixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void menuHasTheTenItemsInOrder()
    {
        Menue menue(*m_net, *m_starter);
        QStringList captions;
        for (const QAction *action : menue.sFile().actions()) {
            QVERIFY(!action->isSeparator());
            captions.append(action->text());
        }
        QFile order(QStringLiteral(QUILLMOOR_MENU_FILE));
        QVERIFY(order.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(captions, QString::fromUtf8(order.readAll()).split(u'\n', Qt::SkipEmptyParts));
        QCOMPARE(captions.size(), 10);
        QVERIFY(menue.sActivate().isCheckable());
        QVERIFY(menue.sFile().defaultAction() == nullptr);
    }

    void startUpLoadsHiddenAndActivated()
    {
        QVERIFY(SaveLaunchList({QStringLiteral("/bin/a"), QStringLiteral("/bin/b")}));
        QVERIFY(WriteSetting(QStringLiteral("app 4"), QStringLiteral("/bin/d")));
        auto menue = startMenue();
        QVERIFY(!menue->isVisible());
        QVERIFY(menue->tray().isInTray());
        QCOMPARE(menue->tray().shownToolTip(), QStringLiteral("Quillmoor 1.0 - Activated"));
        QVERIFY(menue->Timer1().isActive());
        QCOMPARE(menue->Timer1().interval(), 1000);
        QVERIFY(menue->sActivate().isChecked());
        QVERIFY(menue->Check1());
        QCOMPARE(menue->List1(),
                 (QStringList {QStringLiteral("/bin/a"), QStringLiteral("/bin/b")}));
        QCOMPARE(imageOf(menue->tray().shownIcon()), imageOf(builtInIcon()));
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void activateToggles()
    {
        auto menue = startMenue();
        menue->sActivate().trigger();
        QVERIFY(!menue->Timer1().isActive());
        QCOMPARE(menue->Timer1().interval(), 0);
        QVERIFY(!menue->sActivate().isChecked());
        QCOMPARE(menue->tray().shownToolTip(), QStringLiteral("Quillmoor 1.0 - Deactivated"));
        QVERIFY(menue->Check1());

        menue->sActivate().trigger();
        QVERIFY(menue->Timer1().isActive());
        QCOMPARE(menue->Timer1().interval(), 1000);
        QVERIFY(menue->sActivate().isChecked());
        QCOMPARE(menue->tray().shownToolTip(), QStringLiteral("Quillmoor 1.0 - Activated"));
    }

    void iconSetting_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("showsFile");
        QTest::newRow("icon file") << QStringLiteral("red.ico") << true;
        QTest::newRow("png without extension") << QStringLiteral("picture") << true;
        QTest::newRow("lower-case keyword is a path") << QStringLiteral("internal") << true;
        QTest::newRow("missing file") << QStringLiteral("missing.ico") << false;
        QTest::newRow("not a picture") << QStringLiteral("text.ico") << false;
        QTest::newRow("directory") << QStringLiteral("folder") << false;
        QTest::newRow("device") << QStringLiteral("/dev/zero") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void iconSetting()
    {
        QFETCH(QString, value);
        QFETCH(bool, showsFile);
        const QString dir = m_home->path() + QStringLiteral("/icons/");
        QVERIFY(writeIconFiles(dir));
        QDir().mkpath(dir + QStringLiteral("folder"));

        QVERIFY(QDir::setCurrent(dir));
        QVERIFY(IconSetting::setting.set(IconSetting(value)));
        auto menue = startMenue();
        QCOMPARE(imageOf(menue->tray().shownIcon()),
                 showsFile ? square(Qt::red) : imageOf(builtInIcon()));
    }

    // The start-up commands and the probe report; the main window is what tells the user.
    void startupFailuresAreToldInAnErrorBox()
    {
        auto menue = startMenue();
        QVERIFY(
            QDir().mkpath(m_home->configPath() + QStringLiteral("/autostart/quillmoor.desktop")));
        menue->sAddStartup().trigger();
        menue->sRemoveStartup().trigger();
        QCOMPARE(m_dialogs->messages.size(), 2);
        for (const auto &message : std::as_const(m_dialogs->messages)) {
            QCOMPARE(message.title, QStringLiteral("Error"));
            QCOMPARE(message.icon, Corvath::MessageIcon::Critical);
        }
        QVERIFY(m_dialogs->messages[0].text.startsWith(u"Quillmoor could not be added"));
        QVERIFY(m_dialogs->messages[1].text.startsWith(u"Quillmoor could not be removed"));

        // The probe reports a failed listing; the window tells it, once per spell. The box does
        // not hold the tick: one that waited to be closed would never see the tick return.
        bool ticked = false;
        m_dialogs->closeWhen([&ticked] { return ticked; });
        m_net->failure = 632;
        tick(*menue);
        ticked = true;
        tick(*menue);
        QCOMPARE(m_dialogs->messages.size(), 3);
        QCOMPARE(m_dialogs->messages[2].text, QStringLiteral("Error 632 Has Occured!"));
        QCOMPARE(m_dialogs->messages[2].title, QStringLiteral("Error!"));
        QCOMPARE(m_dialogs->messages[2].icon, Corvath::MessageIcon::Critical);
        QCOMPARE(m_dialogs->heldOpen, 0);
        // A connection made while it is open gets its pass.
        QVERIFY(!menue->Check1());
        m_net->failure = 0;
        m_net->setConnected(true);
        tick(*menue);
        QVERIFY(menue->Check1());
    }

    void exitTakesIconOutOnceAndEnds()
    {
        auto menue = startMenue();
        QSignalSpy deleted(&menue->tray(), &Tray::IconDeleted);
        QVERIFY(!Corvath::IsEnding());
        menue->sExit().trigger();
        QCOMPARE(deleted.count(), 1);
        QVERIFY(!menue->tray().isInTray());
        QVERIFY(Corvath::IsEnding());
        menue->tray().setAction(Tray::Delete);
        QCOMPARE(deleted.count(), 1);
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(!QFile::exists(m_home->storePath()));
    }

    // What the store reports of a damaged file met at start-up, the tray tells.
    void damagedStoreIsToldAtStartUp()
    {
        QVERIFY(writeFile(m_home->storePath(), "[Main]\napp 1=/bin/\xfe\n"));
        auto menue = startMenue();
        QTRY_VERIFY(menue->tray().lastMessage().endsWith(u"61027.ini.bad."));
        QCOMPARE(menue->List1(), QStringList {QStringLiteral("/bin/\u00fe")});
    }
};

QTEST_MAIN(TestMenue)
#include "tst_menue.moc"
