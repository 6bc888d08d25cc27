// The command-line splitter and the desktop entry Exec parser: any text is split or refused
// without harm, and what either reads, quoted again by the program's own rules, reads back
// the same.
#include "fuzzcheck.h"
#include "platform/commandline.h"
#include "platform/linux/autostartentry_linux.h"
#include "platform/linux/desktopentry_linux.h"

namespace {

// A word quoted for the splitter: single quotes keep everything but themselves.
QString shellQuoted(QString word)
{
    return u'\'' + word.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

void checkSplit(const QString &line)
{
    QStringList words;
    const bool ok = CommandLine::split(line, words);
    FUZZ_CHECK(ok || words.isEmpty(), "a refused line leaves no words");
    QStringList quoted;
    for (const QString &word : std::as_const(words))
        quoted.append(shellQuoted(word));
    QStringList again;
    FUZZ_CHECK(CommandLine::split(quoted.join(u' '), again) && again == words,
               "quoted words split back the same");
}

void checkExec(const QString &value)
{
    const DesktopEntry::FieldValues values {QStringLiteral("icon"), QStringLiteral("A % name"),
                                            QStringLiteral("/a b/x.desktop")};
    QStringList arguments;
    QString reason;
    const bool ok = DesktopEntry::execArguments(DesktopEntry::unescape(value), arguments, reason,
                                                values);
    FUZZ_CHECK(ok == reason.isEmpty(), "a refusal, and only a refusal, has a reason");
    FUZZ_CHECK(ok || arguments.isEmpty(), "a refused line leaves no arguments");
    QStringList quoted;
    for (const QString &argument : std::as_const(arguments))
        quoted.append(AutostartEntry::quoteArgument(argument));
    QStringList again;
    FUZZ_CHECK(DesktopEntry::execArguments(quoted.join(u' '), again, reason) && again == arguments,
               "quoted arguments parse back the same");

    // One argument through a whole entry, string escapes and all, as the program writes it.
    const QString text = AutostartEntry::text(value);
    if (text.isEmpty())
        return;
    const qsizetype from = text.indexOf(QStringLiteral("\nExec=")) + 6;
    const QString exec = text.mid(from, text.indexOf(u'\n', from) - from);
    FUZZ_CHECK(DesktopEntry::execArguments(DesktopEntry::unescape(exec), again, reason)
                   && again == QStringList {value},
               "a program's path written to an entry reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const QString text = FuzzText::fromBytes(data, size);
    checkSplit(text);
    checkExec(text);
    return 0;
}
