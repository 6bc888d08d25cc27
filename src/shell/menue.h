#pragma once

#include "logic/launchmonitor.h"
#include "widgets/form.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class Configur;
class ConnectionSource;
class EditIcon;
class frmAbout;
class ProgramStarter;
class QAction;
class QMenu;
class Tray;

// The main window: never seen, it owns the tray icon, its popup menu and, for the whole run, the
// monitoring spine (LaunchMonitor) with the launch list, the timer and the connection latch. The
// spine probes `connections` and starts entries through `starter`, both of which must outlive it.
class Menue final : public Corvath::Form<QWidget>
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Menue)

public:
    Menue(ConnectionSource &connections, ProgramStarter &starter, QWidget *parent = nullptr);
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

    // The menu's items; the constructor adds them, in menu order.
    QAction &sEditLaunch() const { return *m_sEditLaunch; }
    QAction &sActivate() const { return *m_sActivate; }
    QAction &sSetInterval() const { return *m_sSetInterval; }
    QAction &sLaunchNow() const { return *m_sLaunchNow; }
    QAction &sEditSysTrayIcon() const { return *m_sEditSysTrayIcon; }
    QAction &sAddStartup() const { return *m_sAddStartup; }
    QAction &sRemoveStartup() const { return *m_sRemoveStartup; }
    QAction &sAbout() const { return *m_sAbout; }
    QAction &sReadMe() const { return *m_sReadMe; }
    QAction &sExit() const { return *m_sExit; }

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
    QAction *m_sEditLaunch = nullptr;
    QAction *m_sActivate = nullptr;
    QAction *m_sSetInterval = nullptr;
    QAction *m_sLaunchNow = nullptr;
    QAction *m_sEditSysTrayIcon = nullptr;
    QAction *m_sAddStartup = nullptr;
    QAction *m_sRemoveStartup = nullptr;
    QAction *m_sAbout = nullptr;
    QAction *m_sReadMe = nullptr;
    QAction *m_sExit = nullptr;
    bool m_unloaded = false;
    LaunchMonitor m_monitor;
    // Owned as children, so that ending the program destroys them without their closing steps.
    QPointer<Configur> m_configur;
    QPointer<EditIcon> m_editIcon;
    QPointer<frmAbout> m_frmAbout;
};
