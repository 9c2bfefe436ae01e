#pragma once

#include "platform/editor.h"
#include "ui/undo_history.h"

#include <Qsci/qsciscintilla.h>

// Text1, the editor. Scintilla keeps the document as bytes, so a file comes
// back byte for byte: every line end, NUL bytes, any 8-bit byte. Text that is
// valid UTF-8 displays as UTF-8, any other as Latin-1, also after Undo and Redo.
// Selections are plain ranges: no rectangular or multiple ones.
class SourceEditor : public QsciScintilla, public Editor
{
    Q_OBJECT

public:
    explicit SourceEditor(QWidget *parent = nullptr);

    // Texts with more lines than this, or with a line longer than
    // maxWrappedLineLength bytes, are not wrapped.
    static constexpr long maxWrappedLines = 50000;
    static constexpr long maxWrappedLineLength = 10000;

    QByteArray text() const override;
    QByteArrayView textView() const override;
    void replaceText(QByteArrayView bytes) override;
    bool replaceText(qsizetype size, const Source &source) override;
    QString selectedText() const override;
    void replaceSelection(const QString &text) override;
    Range selection() const override;
    void select(Range range) override;
    std::optional<QByteArray> bytesShowing(const QString &text) const override;
    qsizetype lineCount() const override { return SendScintilla(SCI_GETLINECOUNT); }
    void goToLine(qsizetype line) override { SendScintilla(SCI_GOTOLINE, static_cast<unsigned long>(line)); }

    // The bytes from position `start` to `end` as text, decoded the way the
    // editor displays them.
    QString textBetween(long start, long end) const;

public slots:
    // Scintilla's own paste turns line ends into CR LF; this one inserts the
    // clipboard's text as it is. Ctrl+V, Shift+Insert and the context menu use it.
    void paste() override;
    void undo() override;
    void redo() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // X11's middle-click paste and text dropped from other programs, also
    // without line-end conversion.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    bool fill(qsizetype size, const Source &source, qint64 left);
    void restore(const UndoHistory::Text &kept);
    void showText();
    void throwIfOutOfMemory();
    // Inserts `text()` in place of the selection, or at `point`.
    void pasteText(const std::function<QString()> &text, std::optional<QPoint> point = {});
    QString decode(QByteArrayView bytes) const;
    QByteArray encode(const QString &text) const;

    UndoHistory *m_history = nullptr;
};
