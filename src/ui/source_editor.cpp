#include "source_editor.h"

#include "document/edit_commands.h"
#include "document/memory_check.h"
#include "ui/message_prompts.h"
#include "ui/source_editor_accessible.h"
#include "ui/text_box.h"
#include "ui/z80_lexer.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Room left after a new text, so that typing does not soon grow (copy) the
// text and style buffers.
qsizetype roomAfter(qsizetype size)
{
    return std::min<qsizetype>(size / 16, 16 << 20) + 65536;
}

// Scintilla 3 is left broken by an allocation that fails inside it: a buffer
// half grown, and no later change taken. So memory is weighed before it is
// asked for any. Measured, its text and style buffers take a byte each per
// byte and its line index about 8 bytes a line at its peak; twice that leaves
// a margin.
constexpr qint64 bytesPerLine = 16;
// From this size on, an insertion is taken to grow both buffers; a smaller one
// mostly fits in the room left after the text, as typing does.
constexpr qsizetype bigInsert = 65536;

// The lines that `bytes` add, about: each CR LF, LF and lone CR ends one.
// Counted for a paste; a whole text is weighed piece by piece instead.
qint64 lineEnds(QByteArrayView bytes)
{
    const auto count = [bytes](char end) { return qint64(std::count(bytes.begin(), bytes.end(), end)); };
    return std::max(count('\n'), count('\r'));
}

// What is still free once `needed` bytes are taken; std::bad_alloc when that
// is more than the memory there is.
qint64 leftAfter(qint64 needed)
{
    const std::optional<qint64> available = availableMemory();
    if (available && needed > *available)
        throw std::bad_alloc();
    return available ? *available - needed : std::numeric_limits<qint64>::max();
}

// Hands out `bytes`, which must outlive the source.
Editor::Source reading(QByteArrayView bytes)
{
    return [bytes](char *buffer, qsizetype capacity) mutable {
        const qsizetype count = std::min(capacity, bytes.size());
        if (count > 0) // an empty view may have no data at all
            std::memcpy(buffer, bytes.data(), size_t(count));
        bytes = bytes.sliced(count);
        return count;
    };
}

} // namespace

// The accessible factory must be in place before QScintilla's constructor
// makes the editor known to accessibility, which caches the first answer.
SourceEditor::SourceEditor(QWidget *parent) : QsciScintilla((SourceEditorAccessible::install(), parent))
{
    setUpTextBox(this, QApplication::font());
    setUtf8(true);
    setEolMode(EolWindows); // Enter inserts CR LF
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 0UL); // pasted text keeps its line ends

    // Large files: word wrap switches the layout cache to the whole document,
    // and the default annotation display lays out every line on each insert.
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    setAnnotationDisplay(AnnotationHidden);
    // Room for the measured pieces of a long line (see Z80Lexer).
    SendScintilla(SCI_SETPOSITIONCACHE, 65536UL);

    // Only plain selections: the edit commands and the clipboard work on one
    // range of bytes. Alt+Shift+arrows extend it as Shift+arrows do; Alt+drag
    // is handled in the mouse events.
    SendScintilla(SCI_SETMULTIPLESELECTION, 0UL);
    SendScintilla(SCI_SETMOUSESELECTIONRECTANGULARSWITCH, 0UL);
    const std::pair<QsciCommand::Command, QsciCommand::Command> rectangular[] = {
        {QsciCommand::LineDownRectExtend, QsciCommand::LineDownExtend},
        {QsciCommand::LineUpRectExtend, QsciCommand::LineUpExtend},
        {QsciCommand::CharLeftRectExtend, QsciCommand::CharLeftExtend},
        {QsciCommand::CharRightRectExtend, QsciCommand::CharRightExtend},
        {QsciCommand::HomeRectExtend, QsciCommand::HomeExtend},
        {QsciCommand::VCHomeRectExtend, QsciCommand::VCHomeExtend},
        {QsciCommand::LineEndRectExtend, QsciCommand::LineEndExtend},
        {QsciCommand::PageUpRectExtend, QsciCommand::PageUpExtend},
        {QsciCommand::PageDownRectExtend, QsciCommand::PageDownExtend}};
    for (const auto &[rectangle, stream] : rectangular) {
        QsciCommand *from = standardCommands()->find(rectangle);
        QsciCommand *to = standardCommands()->find(stream);
        const int key = from->key();
        from->setKey(0);
        from->setAlternateKey(0);
        if (key && !to->alternateKey())
            to->setAlternateKey(key);
    }

    // QScintilla's accessibility turns each change into a count of the
    // characters before it, which grows with the file; the editor's own
    // accessible answers screen readers when they ask instead. Only the
    // editor's own undo steps, the whole-text replacements, are reported.
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(SC_MOD_CONTAINER));
    m_history = new UndoHistory(
        this, [this] { return UndoHistory::Text{text(), isUtf8()}; },
        [this](const UndoHistory::Text &kept) { restore(kept); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this] {
        if (!QAccessible::isActive())
            return; // no screen reader listens
        QAccessibleTextCursorEvent moved(this, int(SendScintilla(SCI_COUNTCHARACTERS, 0UL,
                                                                  SendScintilla(SCI_GETCURRENTPOS))));
        QAccessible::updateAccessibility(&moved);
    });

    // Z80 colouring: only the colour changes, every style keeps the UI font.
    setLexer(new Z80Lexer(this));
}

QByteArray SourceEditor::text() const
{
    return textView().toByteArray();
}

QByteArrayView SourceEditor::textView() const
{
    // Scintilla moves its gap out of the range so the document lies in one
    // piece. Unlike SCI_GETCHARACTERPOINTER, which may grow the buffer for a
    // closing NUL, this never allocates: Save and Find run out of no memory here.
    const long length = SendScintilla(SCI_GETLENGTH);
    return QByteArrayView(
        reinterpret_cast<const char *>(SendScintilla(SCI_GETRANGEPOINTER, 0UL, length)), length);
}

void SourceEditor::replaceText(QByteArrayView bytes)
{
    replaceText(bytes.size(), reading(bytes));
}

bool SourceEditor::replaceText(qsizetype size, const Source &source)
{
    if (size > maxSize)
        return false;
    // Both buffers, and the old text kept for Undo.
    const qint64 left = leftAfter(2 * (size + roomAfter(size)) + SendScintilla(SCI_GETLENGTH));
    // Whole-text replacements discard work without a question; one undo step
    // brings it back, kept by the history.
    UndoHistory::Text before{text(), isUtf8()};
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    bool filled = false, outOfMemory = false;
    try {
        filled = fill(size, source, left);
    } catch (const std::bad_alloc &) {
        outOfMemory = true;
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    if (!filled) {
        restore(before);
        if (outOfMemory)
            throw std::bad_alloc();
        return false;
    }
    m_history->recordReplacement(std::move(before));
    setUtf8(textView().isValidUtf8());
    showText();
    return true;
}

// Puts a kept text back in place of the whole text, recording no undo step.
// After a text that did not fit, the buffers still have the room this one
// had: more room to type is taken only where the memory is there.
void SourceEditor::restore(const UndoHistory::Text &kept)
{
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    const qsizetype capacity = kept.bytes.size() + roomAfter(kept.bytes.size());
    const std::optional<qint64> available = availableMemory();
    if (!available || 2 * capacity <= *available)
        SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(capacity));
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(kept.bytes.size()), kept.bytes.constData());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    setUtf8(kept.utf8);
    showText();
}

// Puts the source's bytes in place of the whole text, in one buffer allocated
// once with room to type; `left` bytes of memory pay for the line index and
// for the buffers' growth past `size`. Undo collection is off meanwhile.
// Throws std::bad_alloc where memory runs short, the text then part of the
// new one.
bool SourceEditor::fill(qsizetype size, const Source &source, qint64 left)
{
    const qsizetype capacity = size + roomAfter(size);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(capacity));
    throwIfOutOfMemory();
    // Pieces of a few megabytes: the copy stays in the processor's cache and
    // no second whole text is ever held.
    QByteArray piece(std::clamp<qsizetype>(size + 1, 4096, 4 << 20), Qt::Uninitialized);
    qsizetype total = 0;
    for (;;) {
        const qsizetype count = source(piece.data(), piece.size());
        if (count <= 0 || (total += count) > maxSize) {
            if (count == 0)
                return true;
            SendScintilla(SCI_CLEARALL);
            return false;
        }
        // As many lines as bytes at most, and the buffers grown past their room
        // have the old beside the new.
        if (bytesPerLine * (SendScintilla(SCI_GETLINECOUNT) + count) + (total > capacity ? 2 * total : 0) > left)
            throw std::bad_alloc();
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(count), piece.constData());
        throwIfOutOfMemory();
    }
}

// QScintilla lets Scintilla's std::bad_alloc through to the caller; a build
// that catches it records it in the status instead, which is then thrown on.
// Either way the memory was weighed first, and this is what slipped past.
void SourceEditor::throwIfOutOfMemory()
{
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_BADALLOC)
        return;
    SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
    throw std::bad_alloc();
}

void SourceEditor::showText()
{
    // Under word wrap, a jump to the end lays out every line before it, about
    // a second per 50,000 lines, and a keystroke lays out its whole line with
    // Qt, half a second per megabyte: such texts are shown unwrapped.
    const long lines = SendScintilla(SCI_GETLINECOUNT);
    bool wrap = lines <= maxWrappedLines;
    for (long line = 0; wrap && line < lines; ++line)
        wrap = SendScintilla(SCI_LINELENGTH, static_cast<unsigned long>(line)) <= maxWrappedLineLength;
    setWrapMode(wrap ? WrapWord : WrapNone);
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    // Coloured before Scintilla first lays the screen out: a long line laid
    // out unstyled is one run, measured in uncached pieces (see Z80Lexer).
    const long screenEnd = SendScintilla(SCI_GETLINEENDPOSITION,
                                         static_cast<unsigned long>(SendScintilla(SCI_LINESONSCREEN)));
    SendScintilla(SCI_COLOURISE, 0UL, screenEnd);
    SendScintilla(SCI_GOTOPOS, 0UL);
}

void SourceEditor::undo()
{
    QsciScintilla::undo();
    m_history->swapPassed();
}

void SourceEditor::redo()
{
    QsciScintilla::redo();
    m_history->swapPassed();
}

QString SourceEditor::selectedText() const
{
    return textBetween(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND));
}

QString SourceEditor::textBetween(long start, long end) const
{
    const auto *data = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    return decode(QByteArrayView(data, end - start));
}

QString SourceEditor::decode(QByteArrayView bytes) const
{
    return isUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

void SourceEditor::replaceSelection(const QString &text)
{
    const QByteArray bytes = encode(text);
    const Range selected = selection();
    const qsizetype length = SendScintilla(SCI_GETLENGTH);
    if (length - (selected.end - selected.start) + bytes.size() > maxSize)
        throw std::bad_alloc(); // no room in the editor
    // Undo keeps what goes and what comes; a big insertion grows both buffers,
    // the old beside the new; the line index grows with the lines.
    leftAfter((selected.end - selected.start) + bytes.size() + bytesPerLine * lineEnds(bytes)
              + (bytes.size() >= bigInsert ? 2 * (length + bytes.size()) : 0));
    // What Scintilla recorded of an edit that still failed is taken back as
    // one undo step, which starts with a mark of its own, so never takes back more.
    SendScintilla(SCI_BEGINUNDOACTION);
    bool marked = false;
    try {
        SendScintilla(SCI_ADDUNDOACTION, 0UL, 0L);
        marked = true;
        SendScintilla(SCI_TARGETFROMSELECTION);
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.constData());
        throwIfOutOfMemory();
    } catch (const std::bad_alloc &) {
        SendScintilla(SCI_ENDUNDOACTION);
        if (marked)
            SendScintilla(SCI_UNDO);
        throw;
    }
    SendScintilla(SCI_ENDUNDOACTION);
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(SendScintilla(SCI_GETTARGETEND)));
}

Editor::Range SourceEditor::selection() const
{
    return {SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND)};
}

void SourceEditor::select(Range range)
{
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(range.start), static_cast<long>(range.end));
}

std::optional<QByteArray> SourceEditor::bytesShowing(const QString &text) const
{
    QByteArray bytes = encode(text); // what a Latin-1 text cannot show comes back as '?'
    return decode(bytes) == text ? std::optional(bytes) : std::nullopt;
}

void SourceEditor::paste()
{
    if (!isReadOnly())
        pasteText([] { return QGuiApplication::clipboard()->text(); });
}

// A paste is as big as whatever another program offers. Memory running out in
// it must not unwind into Qt's event loop: the error box says so instead.
void SourceEditor::pasteText(const std::function<QString()> &text, std::optional<QPoint> point)
{
    QString pasted;
    try {
        pasted = text();
        if (point) {
            const long position =
                SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point->x()), long(point->y()));
            SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(position));
        }
        replaceSelection(pasted);
    } catch (const std::bad_alloc &) {
        MessagePrompts prompts(this);
        reportPasteShortage(prompts, pasted.size());
    }
}

void SourceEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        paste();
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
    m_history->swapPassed(); // after Ctrl+Z and the other undo and redo keys
}

// Scintilla starts a rectangular selection on Alt+click; here Alt is ignored.
static QMouseEvent withoutAlt(const QMouseEvent *event)
{
    return QMouseEvent(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                       event->button(), event->buttons(), event->modifiers() & ~Qt::AltModifier,
                       event->pointingDevice());
}

void SourceEditor::mousePressEvent(QMouseEvent *event)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() != Qt::MiddleButton || !clipboard->supportsSelection() || isReadOnly()) {
        QMouseEvent plain = withoutAlt(event);
        QsciScintilla::mousePressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    pasteText([clipboard] { return clipboard->text(QClipboard::Selection); }, event->position().toPoint());
    event->accept();
}

void SourceEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    QMouseEvent plain = withoutAlt(event);
    QsciScintilla::mouseDoubleClickEvent(&plain);
    event->setAccepted(plain.isAccepted());
}

void SourceEditor::dropEvent(QDropEvent *event)
{
    // A move inside the editor carries the document's own line ends: Scintilla's.
    if (event->source() == this || !event->mimeData()->hasText() || isReadOnly()) {
        QsciScintilla::dropEvent(event);
        return;
    }
    QDragLeaveEvent leave; // takes Scintilla's drop caret away
    QsciScintilla::dragLeaveEvent(&leave);
    pasteText([event] { return event->mimeData()->text(); }, event->position().toPoint());
    event->acceptProposedAction();
}

QVariant SourceEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // QScintilla answers input methods with the whole paragraph around the
    // caret, converted to a QString after every keystroke: a megabyte for a
    // long line. There, input methods go without the text around the caret.
    constexpr auto aroundCaret = Qt::ImSurroundingText | Qt::ImTextBeforeCursor | Qt::ImTextAfterCursor
                                 | Qt::ImCursorPosition | Qt::ImAnchorPosition;
    if (aroundCaret & query) {
        const auto caret = static_cast<unsigned long>(SendScintilla(SCI_GETCURRENTPOS));
        const long line = SendScintilla(SCI_LINEFROMPOSITION, caret);
        if (SendScintilla(SCI_LINELENGTH, static_cast<unsigned long>(line)) > maxWrappedLineLength)
            return {};
    }
    return QsciScintilla::inputMethodQuery(query);
}

QByteArray SourceEditor::encode(const QString &text) const
{
    // A Latin-1 document cannot hold every character; those become '?' and the
    // rest of the document is untouched.
    return isUtf8() ? text.toUtf8() : text.toLatin1();
}
