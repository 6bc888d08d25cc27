#pragma once

#include "platform/outcome.h"

#include <QString>

#include <memory>

// Documents, folders and web addresses handed to the desktop's program for them. A failure's
// reason is in words for the user.
//
// Linux: the application set for the document's type or the address's scheme, started by its
// desktop entry; else the desktop's opener (QDesktopServices, xdg-open), though a file whose
// type has no application fails at once. A path that names no file but reads as an address
// with a scheme of more than one letter is taken as that address.
// Windows: ShellExecute, from "c:\", for documents and addresses alike.
class DocumentShell
{
public:
    DocumentShell() = default;
    virtual ~DocumentShell() = default;
    DocumentShell(const DocumentShell &) = delete;
    DocumentShell &operator=(const DocumentShell &) = delete;

    // True only for a plain file (or a link to one): not a directory, a device or a path that
    // cannot be looked up. Windows: hidden and system files count as missing, as the shell's
    // own look-up has it.
    virtual bool fileExists(const QString &path) = 0;
    // Hands a document, folder or address over and returns at once. Fails when nothing took it.
    virtual Outcome<QString> open(const QString &pathOrAddress) = 0;
};

// The implementation for the OS the program was built for.
std::unique_ptr<DocumentShell> createDocumentShell();
