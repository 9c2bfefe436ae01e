#include "source_editor.h"

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

namespace {

// Room left after a new text, so that typing does not soon grow (copy) the
// text and style buffers.
qsizetype roomAfter(qsizetype size)
{
    return std::min<qsizetype>(size / 16, 16 << 20) + 65536;
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
    // Scintilla closes its gap so the document lies in one piece.
    const long length = SendScintilla(SCI_GETLENGTH);
    return QByteArrayView(static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER)), length);
}

void SourceEditor::replaceText(QByteArrayView bytes)
{
    replaceText(bytes.size(), reading(bytes));
}

bool SourceEditor::replaceText(qsizetype size, const Source &source)
{
    if (size > maxSize)
        return false;
    // Whole-text replacements discard work without a question; one undo step
    // brings it back, kept by the history.
    UndoHistory::Text before{text(), isUtf8()};
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    const bool filled = fill(size, source);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    if (!filled) {
        restore(before);
        return false;
    }
    m_history->recordReplacement(std::move(before));
    setUtf8(textView().isValidUtf8());
    showText();
    return true;
}

// Puts a kept text back in place of the whole text, recording no undo step.
void SourceEditor::restore(const UndoHistory::Text &kept)
{
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    fill(kept.bytes.size(), reading(kept.bytes));
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    setUtf8(kept.utf8);
    showText();
}

// Puts the source's bytes in place of the whole text, in one buffer allocated
// once with room to type. Undo collection is off meanwhile.
bool SourceEditor::fill(qsizetype size, const Source &source)
{
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(size + roomAfter(size)));
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
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(count), piece.constData());
    }
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
    SendScintilla(SCI_TARGETFROMSELECTION);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.constData());
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
        replaceSelection(QGuiApplication::clipboard()->text());
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
    insertAtPoint(event->position().toPoint(), clipboard->text(QClipboard::Selection));
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
    insertAtPoint(event->position().toPoint(), event->mimeData()->text());
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
        const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(SendScintilla(SCI_GETCURRENTPOS)));
        if (SendScintilla(SCI_LINELENGTH, static_cast<unsigned long>(line)) > maxWrappedLineLength)
            return {};
    }
    return QsciScintilla::inputMethodQuery(query);
}

void SourceEditor::insertAtPoint(const QPoint &point, const QString &text)
{
    const long position = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()), long(point.y()));
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(position));
    replaceSelection(text);
}

QByteArray SourceEditor::encode(const QString &text) const
{
    // A Latin-1 document cannot hold every character; those become '?' and the
    // rest of the document is untouched.
    return isUtf8() ? text.toUtf8() : text.toLatin1();
}
