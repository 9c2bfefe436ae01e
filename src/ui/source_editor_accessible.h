#pragma once

#include <QAccessibleWidget>

class SourceEditor;

// What a screen reader sees of Text1: its text, caret and selection, worked
// out when asked. QScintilla's own accessibility counts the characters from the
// start of the document to the caret on every change and every repaint, which
// makes each keystroke near the end of a large file take most of a second.
class SourceEditorAccessible : public QAccessibleWidget,
                               public QAccessibleTextInterface,
                               public QAccessibleEditableTextInterface
{
public:
    explicit SourceEditorAccessible(SourceEditor *editor);

    // Makes every SourceEditor answer through this class.
    static void install();

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;

    // QAccessibleTextInterface, in characters
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    SourceEditor *editor() const;
    long offsetOf(long position) const;
    long positionOf(int offset) const;
};
