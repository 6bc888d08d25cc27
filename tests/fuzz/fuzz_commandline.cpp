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
    const CommandLine::Words split = CommandLine::split(text);
    FUZZ_CHECK(split.outcome || split.words.isEmpty(), "a refusal leaves no words");
    QStringList quoted;
    for (QString word : split.words)
        quoted << u'\'' + word.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
    const CommandLine::Words again = CommandLine::split(quoted.join(u' '));
    FUZZ_CHECK(again.outcome && again.words == split.words, "quoted words split back the same");

    const DesktopEntry::Arguments exec = DesktopEntry::execArguments(
        DesktopEntry::unescape(text), {u"icon"_s, u"A % name"_s, u"/a b/x.desktop"_s});
    FUZZ_CHECK(exec.outcome.ok() == exec.outcome.reason().isEmpty()
                   && (exec.outcome || exec.arguments.isEmpty()),
               "a refusal, with its reason");
    quoted.clear();
    for (const QString &word : exec.arguments)
        quoted << AutostartEntry::quoteArgument(word);
    const DesktopEntry::Arguments reread = DesktopEntry::execArguments(quoted.join(u' '));
    FUZZ_CHECK(reread.outcome && reread.arguments == exec.arguments,
               "quoted arguments parse back the same");

    // One path through a whole entry, string escapes and all, as the program writes it.
    const QString entry = AutostartEntry::text(text);
    const qsizetype from = entry.indexOf(u"\nExec=") + 6;
    const QString line = DesktopEntry::unescape(entry.mid(from, entry.indexOf(u'\n', from) - from));
    const DesktopEntry::Arguments written = DesktopEntry::execArguments(line);
    FUZZ_CHECK(entry.isEmpty() || (written.outcome && written.arguments == QStringList {text}),
               "a program's path written to an entry reads back the same");
    return 0;
}
