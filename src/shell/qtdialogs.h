#pragma once

#include "logic/dialogs.h"

// The real dialogs: QMessageBox, QInputDialog and QFileDialog.
class QtDialogs final : public Corvath::Dialogs
{
public:
    void messageBox(const QString &text, const QString &title, Corvath::MessageIcon icon) override;
    bool yesNo(const QString &text, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    QString openFileName(const QString &filter) override;
};
