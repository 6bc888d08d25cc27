#include "shell/dialogs.h"

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
    QString inputBox(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &) override { return {}; }
};

StderrDialogs s_fallback;
Dialogs *s_current = nullptr;

} // namespace

Dialogs *dialogs()
{
    return s_current ? s_current : &s_fallback;
}

void setDialogs(Dialogs *dialogs)
{
    s_current = dialogs;
}

} // namespace Corvath
