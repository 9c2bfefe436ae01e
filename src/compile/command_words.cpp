#include "command_words.h"

#include <QDir>

namespace CommandLine {

QStringList searchFolders(const QString &searchPath)
{
    QStringList folders;
    for (const QString &folder : searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder))
            folders << folder;
    }
    return folders;
}

QStringList split(const QString &commandLine, QString *error)
{
    QStringList words;
    QString word;
    bool inWord = false; // also true for a word that is only quotes: "" is a word
    QChar quote;         // the quote we are inside, or null
    const qsizetype size = commandLine.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = commandLine.at(i);
        const QChar next = i + 1 < size ? commandLine.at(i + 1) : QChar();
        if (quote == QLatin1Char('\'')) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (quote == QLatin1Char('"')) {
            if (c == quote) {
                quote = QChar();
            } else if (c == QLatin1Char('\\') && QStringView(u"$`\"\\\n").contains(next)) {
                if (next != QLatin1Char('\n')) // backslash-newline joins lines
                    word += next;
                ++i;
            } else {
                word += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('\\') && next == QLatin1Char('\n')) {
            ++i;
        } else {
            inWord = true;
            if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
                quote = c;
            else if (c == QLatin1Char('\\') && !next.isNull())
                word += commandLine.at(++i);
            else
                word += c; // a backslash at the very end stays, as in sh -c
        }
    }
    if (!quote.isNull()) {
        if (error)
            *error = QStringLiteral("unbalanced quotes: the %1 opened last is never closed")
                         .arg(quote == QLatin1Char('"') ? QStringLiteral("double quote (\")")
                                                        : QStringLiteral("single quote (')"));
        return {};
    }
    if (inWord)
        words << word;
    return words;
}

} // namespace CommandLine
