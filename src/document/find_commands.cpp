#include "find_commands.h"

#include "platform/editor.h"
#include "platform/prompts.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// The assembler reads A-Z and a-z alike; every other byte stands for itself.
constexpr std::array<uchar, 256> folding = [] {
    std::array<uchar, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = uchar(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return table;
}();

bool sameFolded(char a, char b)
{
    return folding[uchar(a)] == folding[uchar(b)];
}

// Horspool's search with A-Z folded: where the non-empty needle first starts
// in [first, last), or `last`. Over reverse iterators it finds the last match.
template<typename It>
It searchFolded(It first, It last, It needleFirst, It needleLast)
{
    const qsizetype size = needleLast - needleFirst;
    // How far the needle moves on past the byte under its last one.
    std::array<qsizetype, 256> shift;
    shift.fill(size);
    for (qsizetype i = 0; i + 1 < size; ++i)
        shift[folding[uchar(needleFirst[i])]] = size - 1 - i;
    for (int c = 'A'; c <= 'Z'; ++c)
        shift[c] = shift[folding[c]];
    const uchar lastByte = folding[uchar(needleFirst[size - 1])];
    for (It at = first; last - at >= size; at += shift[uchar(at[size - 1])])
        if (folding[uchar(at[size - 1])] == lastByte && std::equal(needleFirst, needleLast - 1, at, sameFolded))
            return at;
    return last;
}

// The first (or, backward, the last) match lying wholly in [from, to) of
// `text`; -1 when there is none.
qsizetype findIn(QByteArrayView text, QByteArrayView needle, qsizetype from, qsizetype to, bool backward)
{
    const char *first = text.data() + from, *last = text.data() + to;
    if (!backward) {
        const char *at = searchFolded(first, last, needle.begin(), needle.end());
        return at == last ? -1 : at - text.data();
    }
    using Back = std::reverse_iterator<const char *>;
    const Back at = searchFolded(Back(last), Back(first), Back(needle.end()), Back(needle.begin()));
    return at == Back(first) ? -1 : at.base() - text.data() - needle.size();
}

} // namespace

FindCommands::FindCommands(Editor &editor, Prompts &prompts) : m_editor(editor), m_prompts(prompts)
{
}

void FindCommands::find()
{
    if (ask())
        search(false);
}

void FindCommands::find_next()
{
    if (!m_searched.isEmpty() || ask())
        search(false);
}

void FindCommands::find_previous()
{
    if (!m_searched.isEmpty() || ask())
        search(true);
}

// Asks for the text to find, offering the selection where it is on one line,
// else the last text searched for. False when nothing was asked for.
bool FindCommands::ask()
{
    QString offered = m_editor.selectedText();
    if (offered.isEmpty() || offered.contains(QLatin1Char('\r')) || offered.contains(QLatin1Char('\n')))
        offered = m_searched;
    const QString answer = m_prompts.input(QStringLiteral("Find what:"), QStringLiteral("Find"), offered);
    if (answer.isEmpty())
        return false;
    m_searched = answer;
    return true;
}

// From the selection to the end of the text and on from the top, or backward
// from the selection to the start and on from the end. The bytes searched are
// the ones that show the text, so nothing is decoded.
void FindCommands::search(bool backward)
{
    const QByteArrayView text = m_editor.textView();
    const std::optional<QByteArray> needle = m_editor.bytesShowing(m_searched);
    qsizetype at = -1;
    // A match never spans a line end.
    if (needle && !needle->isEmpty() && !needle->contains('\r') && !needle->contains('\n')) {
        const Editor::Range selected = m_editor.selection();
        const qsizetype overlap = needle->size() - 1; // the wrapped search stops where the first began
        at = backward ? findIn(text, *needle, 0, selected.start, true)
                      : findIn(text, *needle, selected.end, text.size(), false);
        if (at < 0)
            at = backward ? findIn(text, *needle, std::max<qsizetype>(0, selected.start - overlap), text.size(), true)
                          : findIn(text, *needle, 0, std::min(text.size(), selected.end + overlap), false);
    }
    if (at < 0)
        m_prompts.inform(QStringLiteral("Cannot find \"%1\".").arg(m_searched), QStringLiteral("Find"));
    else
        m_editor.select({at, at + needle->size()});
}

void FindCommands::go_to_line()
{
    const QString answer =
        m_prompts.input(QStringLiteral("Line number:"), QStringLiteral("Go To Line")).trimmed();
    // Digits only: no sign, no fraction. A number beyond any text's lines
    // stays a number, and goes to the last line.
    qsizetype line = 0;
    for (const QChar digit : answer) {
        if (digit < QLatin1Char('0') || digit > QLatin1Char('9'))
            return;
        line = std::min<qsizetype>(line * 10 + (digit.unicode() - '0'), Editor::maxSize);
    }
    if (line >= 1)
        m_editor.goToLine(std::min(line, m_editor.lineCount()) - 1);
}
