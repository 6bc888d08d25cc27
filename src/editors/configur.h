#pragma once

#include "widgets/form.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// The launch list editor. It edits a copy of the list; closing the window is the one way to
// store it, and then the main window's list is refilled from the store.
class Configur final : public Corvath::Form<QWidget>
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Configur)

public:
    // mainList is the main window's launch list; it must outlive this window.
    explicit Configur(QStringList &mainList, QWidget *parent = nullptr);

    static QString prompt();
    // The file dialog's one filter, in Qt's form.
    static QString fileFilter();
    // What "Add" appends for the path the file dialog returned.
    static QString addedPath(const QString &chosen);
    // What "Manual" adds for the typed text: without the line breaks around it.
    static QString withoutOuterLineBreaks(const QString &typed);

    QLabel &Label1() const { return *m_label1; }
    QListWidget &List1() const { return *m_list1; }
    QPushButton &Command1() const { return *m_command1; }
    QPushButton &Command2() const { return *m_command2; }
    QPushButton &Command3() const { return *m_command3; }
    QStringList entries() const;

    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // Stores the list and refills the main list. False when the list could not be stored and
    // the user keeps the editor open to try again.
    bool Form_Unload();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool hasRoom() const;
    bool isOneLine(const QString &entry) const;

    QStringList &m_mainList;
    QLabel *m_label1 = nullptr;
    QListWidget *m_list1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
};
