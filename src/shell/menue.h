#pragma once

#include "logic/launchmonitor.h"
#include "logic/program.h"
#include "platform/programstarter.h"
#include "widgets/form.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class Configur;
class EditIcon;
class frmAbout;
class QAction;
class QMenu;
class Tray;

// The main window: never seen, it owns the tray icon, its popup menu and, for the whole run, the
// monitoring spine (LaunchMonitor) with the launch list, the timer and the connection latch.
class Menue final : public Corvath::Form<QWidget>
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Menue)

public:
    explicit Menue(QWidget *parent = nullptr);
    ~Menue() override;

    static QString activatedToolTip();
    static QString deactivatedToolTip();

    QStringList &List1() { return m_monitor.list(); }
    bool Check1() const { return m_monitor.latch(); }
    void setCheck1(bool value) { m_monitor.setLatch(value); }
    QTimer &Timer1() { return m_monitor.timer(); }
    Tray &tray() { return *m_tray; }
    QMenu &sFile() { return *m_sFile; }
    double iconHandle() const;

    // Menu items, in menu order.
    QAction *sEditLaunch = nullptr;
    QAction *sActivate = nullptr;
    QAction *sSetInterval = nullptr;
    QAction *sLaunchNow = nullptr;
    QAction *sEditSysTrayIcon = nullptr;
    QAction *sAddStartup = nullptr;
    QAction *sRemoveStartup = nullptr;
    QAction *sAbout = nullptr;
    QAction *sReadMe = nullptr;
    QAction *sExit = nullptr;

    // Runs Form_Unload once; later calls do nothing.
    void unload();

    void Form_Load() override;
    void Form_Activate();
    void Form_Unload();
    void Tray_MouseUp();
    void Tray_IconDeleted();
    void Timer1_Timer();

    void sEditLaunch_Click();
    void sActivate_Click();
    void sSetInterval_Click();
    void sLaunchNow_Click();
    void sEditSysTrayIcon_Click();
    void sAddStartup_Click();
    void sRemoveStartup_Click();
    void sAbout_Click();
    void sReadMe_Click();
    void sExit_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *addItem(const QString &caption, void (Menue::*handler)());
    void showConnectionFailure(quint32 code);

    Tray *m_tray = nullptr;
    QMenu *m_sFile = nullptr;
    bool m_unloaded = false;
    std::unique_ptr<ProgramStarter> m_starter = createProgramStarter();
    LaunchMonitor m_monitor {Corvath::Program::current().connections(), *m_starter};
    // Owned as children, so that ending the program destroys them without their closing steps.
    QPointer<Configur> m_configur;
    QPointer<EditIcon> m_editIcon;
    QPointer<frmAbout> m_frmAbout;
};
