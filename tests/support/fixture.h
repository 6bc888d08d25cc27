#pragma once

#include "fakeconnectionsource.h"
#include "fakedialogs.h"
#include "fakestarter.h"
#include "logic/interval.h"
#include "logic/program.h"
#include "settings/settingsstore.h"
#include "temphome.h"

#include <QTest>
#include <QTimer>

#include <memory>

class Menue;
class Splash;

// What each test case starts from, as KeePassXC's GuiTestBase has it: a fresh program state, a
// temporary home, the fake dialogs, connection source (no connection) and starter. A test class
// derives from it beside QObject and calls setUp() and tearDown() from its init() and cleanup().
class Fixture
{
protected:
    void setUp()
    {
        m_program = std::make_unique<Corvath::Program>();
        m_home = std::make_unique<TempHome>();
        m_dialogs = std::make_unique<FakeDialogs>();
        m_net = std::make_unique<FakeConnectionSource>();
        m_starter = std::make_unique<FakeStarter>();
    }

    void tearDown()
    {
        m_starter.reset();
        m_net.reset();
        m_dialogs.reset();
        m_home.reset();
        m_program.reset();
    }

    // The main window as main() brings it up: loaded by the start window, hidden, its icon in
    // the tray and its timer running; the fake starter unless given one. For window tests.
    template<class Window = Menue, class Start = Splash>
    std::unique_ptr<Window> startMenue(ProgramStarter *starter = nullptr)
    {
        auto window = std::make_unique<Window>(*m_net, starter ? *starter : *m_starter);
        Start(*window).Form_Load();
        return window;
    }

    // The main window with ENTRIES stored and that interval, its ticks only from the test.
    template<class Window = Menue, class Start = Splash>
    std::unique_ptr<Window> startMenue(const QStringList &entries, const QString &interval,
                                       ProgramStarter *starter)
    {
        SaveLaunchList(entries);
        Interval::setting.set(Interval(interval));
        auto window = startMenue<Window, Start>(starter);
        window->Timer1().stop();
        return window;
    }

    // One tick of the running program: its timer's timeout, which runs what the timer runs.
    template<class Window> static void tick(Window &window)
    {
        QMetaObject::invokeMethod(&window.Timer1(), "timeout");
    }

    // One monitoring tick with the connection latch as given; returns the latch as the tick and
    // the pass it started left it.
    template<class Monitor> static bool tickWith(Monitor &monitor, bool latch)
    {
        monitor.setLatch(latch);
        monitor.tick();
        return QTest::qWaitFor([&monitor] { return !monitor.isPassing(); }) && monitor.latch();
    }

    std::unique_ptr<Corvath::Program> m_program;
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<FakeConnectionSource> m_net;
    std::unique_ptr<FakeStarter> m_starter;
};
