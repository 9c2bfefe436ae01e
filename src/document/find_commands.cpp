#include "find_commands.h"

#include "document/folded_search.h"
#include "platform/editor.h"
#include "platform/prompts.h"

#include <algorithm>
#include <new>

namespace {

// The longest selection Find offers to search for.
constexpr qsizetype maxOffered = 10000;

// The first (or, backward, the last) match lying wholly in [from, to) of
// `text`; -1 when there is none.
qsizetype findIn(QByteArrayView text, const FoldedSearch &needle, qsizetype from, qsizetype to)
{
    const qsizetype at = needle.in(text.sliced(from, to - from));
    return at < 0 ? -1 : from + at;
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

// Asks for the text to find, offering the selection where it is one short
// line, else the last text searched for. False when nothing was asked for.
bool FindCommands::ask()
{
    // Looked at as bytes first: a whole file selected is not decoded only to
    // be passed over, nor a long line laid out in the input box.
    const Editor::Range selected = m_editor.selection();
    const QByteArrayView bytes = m_editor.textView().sliced(selected.start, selected.end - selected.start);
    const bool offer = !bytes.isEmpty() && bytes.size() <= maxOffered && !bytes.contains('\r') && !bytes.contains('\n');
    const QString offered = offer ? m_editor.selectedText() : m_searched;
    const QString answer = m_prompts.input(QStringLiteral("Find what:"), QStringLiteral("Find"), offered);
    if (answer.isEmpty())
        return false;
    m_searched = answer;
    return true;
}

void FindCommands::search(bool backward)
{
    try {
        searchFor(backward);
    } catch (const std::bad_alloc &) { // the search text is copied and folded
        m_prompts.error(QStringLiteral("Not enough memory to find a text of %L1 characters").arg(m_searched.size()),
                        QStringLiteral("Find"));
    }
}

// From the selection to the end of the text and on from the top, or backward
// from the selection to the start and on from the end. The bytes searched are
// the ones that show the text, so nothing is decoded.
void FindCommands::searchFor(bool backward)
{
    const QByteArrayView text = m_editor.textView();
    const std::optional<QByteArray> needle = m_editor.bytesShowing(m_searched);
    qsizetype at = -1;
    // A match never spans a line end.
    if (needle && !needle->isEmpty() && !needle->contains('\r') && !needle->contains('\n')) {
        const Editor::Range selected = m_editor.selection();
        const qsizetype overlap = needle->size() - 1; // the wrapped search stops where the first began
        const FoldedSearch folded(*needle, backward ? FoldedSearch::Backward : FoldedSearch::Forward);
        at = backward ? findIn(text, folded, 0, selected.start) : findIn(text, folded, selected.end, text.size());
        if (at < 0)
            at = backward ? findIn(text, folded, std::max<qsizetype>(0, selected.start - overlap), text.size())
                          : findIn(text, folded, 0, std::min(text.size(), selected.end + overlap));
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
