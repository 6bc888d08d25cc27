#include "shell/menue.h"
#include "about/frmabout.h"
#include "editors/configur.h"
#include "editors/editicon.h"
#include "logic/dialogs.h"
#include "logic/iconsetting.h"
#include "logic/interval.h"
#include "logic/program.h"
#include "logic/startupcommands.h"
#include "settings/settingsstore.h"
#include "shell/readme.h"
#include "widgets/reportfailure.h"
#include "widgets/tray.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>

Menue::Menue(ConnectionSource &connections, ProgramStarter &starter, QWidget *parent)
    : Form(QString(), parent)
    , m_sFile(new QMenu(QStringLiteral("File"), this))
    , m_monitor(connections, starter)
{
    // Shown twice at start-up, never seen: showing loads and activates it, nothing maps.
    setAttribute(Qt::WA_DontShowOnScreen);
    setWindowIcon(QIcon(QStringLiteral(":/quillmoor.xpm")));
    m_tray = new Tray(windowIcon(), this);

    m_sEditLaunch = addItem(QStringLiteral("Edit Launch List"), &Menue::sEditLaunch_Click);
    m_sActivate = addItem(QStringLiteral("Activate"), nullptr);
    m_sSetInterval = addItem(QStringLiteral("Set Launch Interval"), &Menue::sSetInterval_Click);
    m_sLaunchNow = addItem(QStringLiteral("Launch Now"), &Menue::sLaunchNow_Click);
    m_sEditSysTrayIcon
        = addItem(QStringLiteral("Edit SysTray Icon"), &Menue::sEditSysTrayIcon_Click);
    m_sAddStartup = addItem(QStringLiteral("Add To Startup"), &Menue::sAddStartup_Click);
    m_sRemoveStartup = addItem(QStringLiteral("Remove From Startup"), &Menue::sRemoveStartup_Click);
    m_sAbout = addItem(QStringLiteral("About"), &Menue::sAbout_Click);
    m_sReadMe = addItem(QStringLiteral("Read Me!!"), &Menue::sReadMe_Click);
    m_sExit = addItem(QStringLiteral("Exit"), &Menue::sExit_Click);
    m_sActivate->setCheckable(true);
    m_sActivate->setChecked(true);
    m_tray->setMenu(*m_sFile);
    // Qt flips the check mark before triggered; the handler decides from the mark as it was.
    connect(m_sActivate, &QAction::triggered, this, [this](bool checked) {
        m_sActivate->setChecked(!checked);
        sActivate_Click();
    });

    connect(m_tray, &Tray::MouseUp, this, &Menue::Tray_MouseUp);
    connect(m_tray, &Tray::IconDeleted, this, &Menue::Tray_IconDeleted);
    connect(&m_monitor, &LaunchMonitor::notice, m_tray, &Tray::showMessage);
    connect(&m_monitor, &LaunchMonitor::connectionFailed, this, &Menue::showConnectionFailure);
}

Menue::~Menue() = default;

QString Menue::activatedToolTip()
{
    return QStringLiteral("Quillmoor 1.0 - Activated");
}

QString Menue::deactivatedToolTip()
{
    return QStringLiteral("Quillmoor 1.0 - Deactivated");
}

double Menue::iconHandle() const
{
    return m_tray->builtInHandle();
}

QAction *Menue::addItem(const QString &caption, void (Menue::*handler)())
{
    QAction *action = m_sFile->addAction(caption);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

void Menue::showConnectionFailure(quint32 code)
{
    // Left open: monitoring goes on while the user reads it.
    Corvath::dialogs()->openMessageBox(QStringLiteral("Error %1 Has Occured!").arg(code),
                                       QStringLiteral("Error!"), Corvath::MessageIcon::Critical);
}

void Menue::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    Form_Activate();
}

void Menue::closeEvent(QCloseEvent *event)
{
    event->accept();
    unload();
}

void Menue::Form_Load()
{
    hide();
    m_tray->setToolTip(activatedToolTip());
    if (const IconSetting icon = IconSetting::setting.get(); icon.isBuiltIn())
        m_tray->setIcon(iconHandle());
    else
        m_tray->setIcon(icon.file());
    m_tray->setAction(Tray::Add);
    LoadLaunchList(m_monitor.list());
    m_monitor.activate();
    hide();
}

void Menue::Form_Activate()
{
    hide();
}

void Menue::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Form_Unload();
}

void Menue::Form_Unload()
{
    m_tray->setAction(Tray::Delete);
    Corvath::EndProgram();
}

void Menue::Tray_MouseUp()
{
    m_sFile->popup(QCursor::pos());
}

void Menue::Tray_IconDeleted()
{
    unload();
    Corvath::EndProgram();
}

void Menue::sActivate_Click()
{
    if (m_sActivate->isChecked()) {
        m_monitor.deactivate();
        m_tray->setToolTip(deactivatedToolTip());
        m_tray->setAction(Tray::Modify);
        m_sActivate->setChecked(false);
    } else {
        m_monitor.activate();
        m_tray->setToolTip(activatedToolTip());
        m_tray->setAction(Tray::Modify);
        m_sActivate->setChecked(true);
    }
}

void Menue::sExit_Click()
{
    m_tray->setAction(Tray::Delete);
    unload();
}

void Menue::Timer1_Timer()
{
    m_monitor.tick();
}

void Menue::sEditLaunch_Click()
{
    Corvath::bringUp(m_configur, [this] { return new Configur(m_monitor.list(), this); });
}

void Menue::sSetInterval_Click()
{
    const QString answer = Corvath::dialogs()->inputBox(
        QStringLiteral("Enter the time interval, for the delay in between launching each "
                       "application. Numbers entered are represented in seconds. (You can also "
                       "use decmals.)"),
        QString(), Interval::setting.get().text());
    if (answer.isEmpty())
        return;
    if (Interval::isNumeric(answer)) {
        Corvath::reportStoreFailure(Interval::setting.set(Interval(answer)));
        return;
    }
    Corvath::dialogs()->messageBox(QStringLiteral("This entry must be specified in numeric form."),
                                   QStringLiteral("Error"), Corvath::MessageIcon::Critical);
}

void Menue::sLaunchNow_Click()
{
    m_monitor.launchNow();
}

void Menue::sEditSysTrayIcon_Click()
{
    Corvath::bringUp(m_editIcon, [this] { return new EditIcon(*m_tray, this); });
}

void Menue::sAddStartup_Click()
{
    Corvath::reportFailure(Corvath::AddToStartup());
}

void Menue::sRemoveStartup_Click()
{
    Corvath::reportFailure(Corvath::RemoveFromStartup());
}

void Menue::sAbout_Click()
{
    Corvath::bringUp(m_frmAbout, [this] { return new frmAbout(this); });
}

void Menue::sReadMe_Click()
{
    Corvath::OpenReadMe(QCoreApplication::applicationDirPath());
}
