#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

// The About box: the program's name and version, its maker, what it is for, and buttons to
// close it, visit the maker's page and start the system information program.
class frmAbout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // Set when the program is configured.
    static QString makerUrl();
    static QString description();

    void Form_Load();
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

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_background;
    bool m_loaded = false;
};
