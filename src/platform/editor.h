#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

// The editor text as the commands see it. The whole text is bytes and stays
// bytes: whatever goes in comes out unchanged. The selection is exchanged with
// the clipboard as text, decoded and encoded the way the editor displays it.
// Where memory runs out in a change, it throws std::bad_alloc with the text
// as it was.
class Editor
{
public:
    // Fills `buffer` with up to `capacity` bytes of a new text; returns how
    // many, 0 at the end, or -1 when reading failed.
    using Source = std::function<qsizetype(char *buffer, qsizetype capacity)>;

    // The largest text the editor holds (QScintilla counts in int); a larger
    // one is refused whole.
    static constexpr qsizetype maxSize = 0x7fffffff;

    virtual ~Editor() = default;

    virtual QByteArray text() const = 0;
    // The same bytes without a copy; valid until the text next changes.
    virtual QByteArrayView textView() const = 0;
    // Replaces everything, as one step that the editor's undo can take back.
    virtual void replaceText(QByteArrayView bytes) = 0;
    // The same, with the new text of `size` bytes (a hint) read piece by piece
    // from `source`. When the source fails or gives more than maxSize bytes,
    // the text stays as it was and this returns false.
    virtual bool replaceText(qsizetype size, const Source &source) = 0;

    virtual QString selectedText() const = 0;
    // Replaces the selection, or inserts at the caret when nothing is selected.
    virtual void replaceSelection(const QString &text) = 0;

    // Byte offsets into the text; an empty range is the caret.
    struct Range
    {
        qsizetype start = 0, end = 0;
    };
    virtual Range selection() const = 0;
    // Selects `range`, the caret at its end, and scrolls it into view.
    virtual void select(Range range) = 0;
    // The bytes that show `text` in this text, as it is displayed; nothing
    // when it cannot be shown (a character outside Latin-1 in a Latin-1 text).
    virtual std::optional<QByteArray> bytesShowing(const QString &text) const = 0;

    // Lines as the editor counts them: each CR LF, LF or lone CR ends one, and
    // the text after the last line end is a line too.
    virtual qsizetype lineCount() const = 0;
    // Puts the caret at the start of `line` (from 0) and scrolls it into view.
    virtual void goToLine(qsizetype line) = 0;
};
