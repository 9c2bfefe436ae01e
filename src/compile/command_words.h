#pragma once

#include <QString>
#include <QStringList>

namespace CommandLine {

// The kernel's limit on one argument, its terminating NUL included (MAX_ARG_STRLEN).
constexpr qsizetype maxArgumentBytes = 32 * 4096;

// Splits into words as a POSIX shell does (single quotes, double quotes,
// backslash; empty quoted words are kept) but expands nothing: $, `, *, ~ and
// # are ordinary characters. Unbalanced quotes give no words and the reason in
// `error`. No shell ever interprets the text.
QStringList split(const QString &commandLine, QString *error = nullptr);

// The absolute folders of a PATH value, in order; a relative one would depend
// on where we happen to be.
QStringList searchFolders(const QString &searchPath);

} // namespace CommandLine
