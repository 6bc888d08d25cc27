#pragma once

#include "widgets/form.h"

#include <QIcon>
#include <QWidget>

class QLabel;
class QPushButton;
class Tray;

// The tray icon editor: every choice is stored and shown in the tray at once; there is nothing
// to confirm and nothing runs on close.
class EditIcon final : public Corvath::Form<QWidget>
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditIcon)

public:
    // tray is the main window's tray icon; it must outlive this window.
    explicit EditIcon(Tray &tray, QWidget *parent = nullptr);

    static QString fileFilter();
    static QString note();

    QLabel &Picture1() const { return *m_picture1; }
    QPushButton &Command1() const { return *m_command1; }
    QPushButton &Command2() const { return *m_command2; }
    QLabel &Label1() const { return *m_label1; }
    // The picture the preview shows now.
    QIcon picture() const { return m_picture; }

    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();

private:
    void showPicture(const QIcon &picture);

    Tray &m_tray;
    QIcon m_picture;
    QLabel *m_picture1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QLabel *m_label1 = nullptr;
};
