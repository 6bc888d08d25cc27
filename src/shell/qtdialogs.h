#pragma once

#include "logic/dialogs.h"

#include <QList>
#include <QPointer>

class QMessageBox;

// The real dialogs: QMessageBox, QInputDialog and QFileDialog.
class QtDialogs final : public Corvath::Dialogs
{
public:
    QtDialogs() = default;
    QtDialogs(const QtDialogs &) = delete;
    QtDialogs &operator=(const QtDialogs &) = delete;
    // Closes the boxes still open.
    ~QtDialogs() override;

    void messageBox(const QString &text, const QString &title, Corvath::MessageIcon icon) override;
    void openMessageBox(const QString &text, const QString &title,
                        Corvath::MessageIcon icon) override;
    bool yesNo(const QString &text, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    QString openFileName(const QString &filter) override;

private:
    QList<QPointer<QMessageBox>> m_open;
};
