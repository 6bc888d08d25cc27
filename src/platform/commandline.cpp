#include "platform/commandline.h"

#include <QUrl>

#include <algorithm>
#include <utility>

namespace CommandLine {

Words split(const QString &line)
{
    QStringList words;
    QString word;
    bool inWord = false;
    enum class Quote { None, Single, Double } quote = Quote::None;

    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        // A backslash before a line break joins the lines, outside single quotes.
        if (c == u'\\' && quote != Quote::Single && i + 1 < line.size() && line[i + 1] == u'\n') {
            ++i;
            continue;
        }
        switch (quote) {
        case Quote::Single:
            if (c == u'\'')
                quote = Quote::None;
            else
                word += c;
            break;
        case Quote::Double:
            if (c == u'"') {
                quote = Quote::None;
            } else if (c == u'\\' && i + 1 < line.size()
                       && QStringView(u"\\\"$`").contains(line[i + 1])) {
                word += line[++i];
            } else {
                word += c;
            }
            break;
        case Quote::None:
            if (c == u' ' || c == u'\t' || c == u'\n') {
                if (inWord)
                    words.append(std::exchange(word, QString()));
                inWord = false;
            } else if (c == u'\'') {
                quote = Quote::Single;
                inWord = true;
            } else if (c == u'"') {
                quote = Quote::Double;
                inWord = true;
            } else if (c == u'\\' && i + 1 < line.size()) {
                word += line[++i];
                inWord = true;
            } else {
                word += c;
                inWord = true;
            }
            break;
        }
    }
    if (quote != Quote::None)
        return {{}, Failure {QStringLiteral("a quotation mark is not closed")}};
    if (inWord)
        words.append(word);
    return {words, {}};
}

bool isAddress(const QString &entry)
{
    static const QStringList schemes {QStringLiteral("http"), QStringLiteral("https"),
                                      QStringLiteral("ftp"), QStringLiteral("mailto"),
                                      QStringLiteral("file")};
    const qsizetype colon = entry.indexOf(u':');
    if (colon <= 0 || colon + 1 == entry.size()
        || !schemes.contains(entry.left(colon), Qt::CaseInsensitive))
        return false;
    // A blank would make it a command line; the desktop's handlers take one address.
    if (std::any_of(entry.begin(), entry.end(), [](QChar c) { return c.isSpace(); }))
        return false;
    return QUrl(entry).isValid();
}

} // namespace CommandLine
