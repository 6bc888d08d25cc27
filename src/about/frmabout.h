#pragma once

#include "widgets/form.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: the program's name and version, its maker, what it is for, and buttons to
// close it, visit the maker's page and start the system information program.
class frmAbout final : public Corvath::Form<QDialog>
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // Set when the program is configured.
    static QString makerUrl();
    static QString description();

    void Form_Load() override;
    void cmdOK_Click();
    void Command1_Click();
    void cmdSysInfo_Click();
    // Starts the system information program, or says that there is none.
    static void StartSysInfo();

    // Controls in tab order.
    QPushButton &cmdOK() const { return *m_cmdOK; }
    QLabel &picIcon() const { return *m_picIcon; }
    QPushButton &cmdSysInfo() const { return *m_cmdSysInfo; }
    QLabel &lblDescription() const { return *m_lblDescription; }
    QLabel &lblDisclaimer() const { return *m_lblDisclaimer; }
    QLabel &lblTitle() const { return *m_lblTitle; }
    QLabel &lblVersion() const { return *m_lblVersion; }
    QPushButton &Command1() const { return *m_command1; }

private:
    QPushButton *m_cmdOK = nullptr;
    QLabel *m_picIcon = nullptr;
    QPushButton *m_cmdSysInfo = nullptr;
    QLabel *m_lblDescription = nullptr;
    QLabel *m_lblDisclaimer = nullptr;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    QPushButton *m_command1 = nullptr;
};
