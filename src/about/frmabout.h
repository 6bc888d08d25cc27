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
    QPushButton *cmdOK = nullptr;
    QLabel *picIcon = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QPushButton *Command1 = nullptr;
};
