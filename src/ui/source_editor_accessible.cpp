#include "source_editor_accessible.h"

#include "ui/source_editor.h"

namespace {

QAccessibleInterface *sourceEditorFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("SourceEditor"))
        return new SourceEditorAccessible(static_cast<SourceEditor *>(object));
    return nullptr;
}

} // namespace

SourceEditorAccessible::SourceEditorAccessible(SourceEditor *editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{
}

void SourceEditorAccessible::install()
{
    // Factories installed later are asked first, so this one wins over QScintilla's.
    static const bool installed = (QAccessible::installFactory(sourceEditorFactory), true);
    Q_UNUSED(installed);
}

SourceEditor *SourceEditorAccessible::editor() const
{
    return static_cast<SourceEditor *>(widget());
}

void *SourceEditorAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State SourceEditorAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !editor()->isReadOnly();
    state.readOnly = editor()->isReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString SourceEditorAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(type);
}

long SourceEditorAccessible::offsetOf(long position) const
{
    return editor()->SendScintilla(QsciScintilla::SCI_COUNTCHARACTERS, 0UL, position);
}

long SourceEditorAccessible::positionOf(int offset) const
{
    const long position = editor()->SendScintilla(QsciScintilla::SCI_POSITIONRELATIVE, 0UL, long(offset));
    // Past the end Scintilla answers 0; the end is what is meant.
    return offset > 0 && position == 0 ? editor()->SendScintilla(QsciScintilla::SCI_GETLENGTH) : position;
}

void SourceEditorAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = int(offsetOf(editor()->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART)));
    *endOffset = int(offsetOf(editor()->SendScintilla(QsciScintilla::SCI_GETSELECTIONEND)));
}

int SourceEditorAccessible::selectionCount() const
{
    return editor()->hasSelectedText() ? 1 : 0;
}

void SourceEditorAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void SourceEditorAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        editor()->SendScintilla(QsciScintilla::SCI_SETEMPTYSELECTION,
                                static_cast<unsigned long>(editor()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS)));
}

void SourceEditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        editor()->SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(positionOf(startOffset)),
                                positionOf(endOffset));
}

int SourceEditorAccessible::cursorPosition() const
{
    return int(offsetOf(editor()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS)));
}

void SourceEditorAccessible::setCursorPosition(int position)
{
    editor()->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(positionOf(position)));
}

QString SourceEditorAccessible::text(int startOffset, int endOffset) const
{
    const long start = positionOf(startOffset), end = positionOf(endOffset);
    return end <= start ? QString() : editor()->textBetween(start, end);
}

int SourceEditorAccessible::characterCount() const
{
    return int(offsetOf(editor()->SendScintilla(QsciScintilla::SCI_GETLENGTH)));
}

QRect SourceEditorAccessible::characterRect(int offset) const
{
    const long position = positionOf(offset);
    const int x = int(editor()->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0UL, position));
    const int y = int(editor()->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL, position));
    const long next = editor()->SendScintilla(QsciScintilla::SCI_POSITIONAFTER, static_cast<unsigned long>(position));
    const int width = int(editor()->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0UL, next)) - x;
    const int height = int(editor()->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0UL));
    const QPoint topLeft = editor()->viewport()->mapToGlobal(QPoint(x, y));
    return QRect(topLeft, QSize(qMax(width, 1), height));
}

int SourceEditorAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = editor()->viewport()->mapFromGlobal(point);
    const long position = editor()->SendScintilla(QsciScintilla::SCI_POSITIONFROMPOINTCLOSE,
                                                  static_cast<unsigned long>(local.x()), long(local.y()));
    return position < 0 ? -1 : int(offsetOf(position));
}

void SourceEditorAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    editor()->SendScintilla(QsciScintilla::SCI_SCROLLRANGE, static_cast<unsigned long>(positionOf(endIndex)),
                            positionOf(startIndex));
}

QString SourceEditorAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}

void SourceEditorAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, {});
}

void SourceEditorAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void SourceEditorAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    if (editor()->isReadOnly())
        return;
    setSelection(0, startOffset, endOffset);
    editor()->replaceSelection(text);
}
