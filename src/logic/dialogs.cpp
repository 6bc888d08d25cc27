#include "logic/dialogs.h"
#include "logic/program.h"

#include <cstdio>

namespace Corvath {
namespace {

class StderrDialogs final : public Dialogs
{
public:
    void messageBox(const QString &text, const QString &title, MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    }
    void openMessageBox(const QString &text, const QString &title, MessageIcon icon) override
    {
        messageBox(text, title, icon);
    }
    bool yesNo(const QString &text, const QString &title) override
    {
        messageBox(text, title, MessageIcon::NoIcon);
        return false;
    }
    QString inputBox(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &) override { return {}; }
};

StderrDialogs s_fallback;

} // namespace

Dialogs *dialogs()
{
    Dialogs *installed = Program::current().dialogs();
    return installed ? installed : &s_fallback;
}

void setDialogs(Dialogs *dialogs)
{
    Program::current().setDialogs(dialogs);
}

} // namespace Corvath
