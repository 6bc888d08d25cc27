// The command-line splitter and the desktop entry Exec parser: any text is read or refused
// without harm, and what either reads, quoted again by the program's rules, reads back the same.
#include "fuzzcheck.h"
#include "platform/commandline.h"
#include "platform/linux/autostartentry_linux.h"
#include "platform/linux/desktopentry_linux.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const QString text = FuzzText::fromBytes(data, size);
    QStringList words, again, quoted;
    FUZZ_CHECK(CommandLine::split(text, words) || words.isEmpty(), "a refusal leaves no words");
    for (QString word : std::as_const(words))
        quoted << u'\'' + word.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
    FUZZ_CHECK(CommandLine::split(quoted.join(u' '), again) && again == words,
               "quoted words split back the same");

    QString reason;
    const bool ok = DesktopEntry::execArguments(DesktopEntry::unescape(text), words, reason,
                                                {u"icon"_s, u"A % name"_s, u"/a b/x.desktop"_s});
    FUZZ_CHECK(ok == reason.isEmpty() && (ok || words.isEmpty()), "a refusal, with its reason");
    quoted.clear();
    for (const QString &word : std::as_const(words))
        quoted << AutostartEntry::quoteArgument(word);
    FUZZ_CHECK(DesktopEntry::execArguments(quoted.join(u' '), again, reason) && again == words,
               "quoted arguments parse back the same");

    // One path through a whole entry, string escapes and all, as the program writes it.
    const QString entry = AutostartEntry::text(text);
    const qsizetype from = entry.indexOf(u"\nExec=") + 6;
    const QString exec = DesktopEntry::unescape(entry.mid(from, entry.indexOf(u'\n', from) - from));
    FUZZ_CHECK(
        entry.isEmpty()
            || (DesktopEntry::execArguments(exec, again, reason) && again == QStringList {text}),
        "a program's path written to an entry reads back the same");
    return 0;
}
