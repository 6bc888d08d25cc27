#pragma once

#include <QString>

namespace Corvath {

enum class MessageIcon { NoIcon, Information, Warning, Critical };

// Every question the program asks the user goes through here, so that tests can answer it.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Asks and waits: each returns once the user has closed its dialog.
    virtual void messageBox(const QString &text, const QString &title, MessageIcon icon) = 0;
    // The same box, but returns at once and leaves it open: for what must go on while the
    // user reads it.
    virtual void openMessageBox(const QString &text, const QString &title, MessageIcon icon) = 0;
    // A question with Yes and No, No the default: true only for Yes.
    virtual bool yesNo(const QString &text, const QString &title) = 0;
    // An empty title shows the program's title. Cancel returns empty text.
    virtual QString inputBox(const QString &prompt, const QString &title,
                             const QString &defaultText)
        = 0;
    // filter is in Qt's form, "All Files (*)". Accepts names of files that do not exist yet.
    // Cancel returns empty text.
    virtual QString openFileName(const QString &filter) = 0;
};

// The current program's dialogs; without any, questions are answered with Cancel and messages
// go to the standard error stream.
Dialogs *dialogs();
// Does not take ownership; nullptr restores the default.
void setDialogs(Dialogs *dialogs);

} // namespace Corvath
