#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QUrl>

// The application the desktop has set to open a document or an address, by the XDG rules: a
// local file by its MIME type, an address by its scheme, then the defaults of mimeapps.list and
// the installed desktop entries (GIO, which knows every rule and the desktops' own lists), then
// an installed entry that lists the type, as the desktop's opener finds one. The launch list
// and "Read Me!!" both ask here, so they agree.
namespace DefaultApplication {

// Opens document in that application, started by its desktop entry. `tried` false, with
// nothing done, when none is set or installed: the desktop's opener may know more. Else the
// look-up's failure or what the start came to. The look-up fails without asking GIO where
// something other than a file stands among the desktop's lists and entries: GIO would wait at a
// named pipe for a writer that never comes.
struct Opened
{
    bool tried = false;
    Outcome<QString> outcome;
};
Opened open(const QUrl &document);

} // namespace DefaultApplication
