#include "logic/dialogs.h"
#include "logic/program.h"
#include "settings/settingsstore.h"

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

bool reportFailure(const QString &failure)
{
    if (failure.isEmpty())
        return true;
    dialogs()->messageBox(failure, QStringLiteral("Error"), MessageIcon::Critical);
    return false;
}

bool reportStoreFailure(const StoreResult &result)
{
    return result || reportFailure(result.reason + u' ' + storeUnchanged());
}

QString storeUnchanged()
{
    return QStringLiteral("What was stored before is unchanged.");
}

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
