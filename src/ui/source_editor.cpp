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

    // QScintilla's accessibility turns each change into a count of the
    // characters before it, which grows with the file; the editor's own
    // accessible answers screen readers when they ask instead. Nothing here
    // listens to modification notifications, so none are sent.
    SendScintilla(SCI_SETMODEVENTMASK, 0UL);
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

void SourceEditor::setText(QByteArrayView bytes)
{
    // Whole-text replacements discard work without a question; one undo step
    // brings it back. The display code page follows the new text.
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_CLEARALL);
    setUtf8(bytes.isValidUtf8());
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
    SendScintilla(SCI_ENDUNDOACTION);
    // A jump to the end of a wrapped text lays out every line before it,
    // about a second per 50,000 lines: a very large text is shown unwrapped.
    setWrapMode(SendScintilla(SCI_GETLINECOUNT) <= maxWrappedLines ? WrapWord : WrapNone);
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    SendScintilla(SCI_GOTOPOS, 0UL);
}

bool SourceEditor::setText(qsizetype size, const Source &source)
{
    QByteArray bytes;
    for (qsizetype count = 1; count > 0;) {
        const qsizetype before = bytes.size();
        bytes.resize(before + std::max<qsizetype>(size - before, 0) + 65536);
        count = source(bytes.data() + before, bytes.size() - before);
        if (count < 0)
            return false;
        bytes.resize(before + count);
    }
    setText(QByteArrayView(bytes));
    return true;
}

QString SourceEditor::selectedText() const
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    const auto *data = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    return decode(QByteArray(data, end - start));
}

void SourceEditor::replaceSelection(const QString &text)
{
    const QByteArray bytes = encode(text);
    SendScintilla(SCI_TARGETFROMSELECTION);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.constData());
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(SendScintilla(SCI_GETTARGETEND)));
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
}

void SourceEditor::mousePressEvent(QMouseEvent *event)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() != Qt::MiddleButton || !clipboard->supportsSelection() || isReadOnly()) {
        QsciScintilla::mousePressEvent(event);
        return;
    }
    insertAt(event->position().toPoint(), clipboard->text(QClipboard::Selection));
    event->accept();
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
    insertAt(event->position().toPoint(), event->mimeData()->text());
    event->acceptProposedAction();
}

void SourceEditor::insertAt(const QPoint &point, const QString &text)
{
    const long position = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()), long(point.y()));
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(position));
    replaceSelection(text);
}

QString SourceEditor::decode(const QByteArray &bytes) const
{
    return isUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QByteArray SourceEditor::encode(const QString &text) const
{
    // A Latin-1 document cannot hold every character; those become '?' and the
    // rest of the document is untouched.
    return isUtf8() ? text.toUtf8() : text.toLatin1();
}
