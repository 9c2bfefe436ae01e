#pragma once

#include "document/z80_syntax.h"

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>

class QPalette;

// Colours Z80 assembly (see Z80Syntax), styling only the lines on screen. Every style keeps the UI font; only the
// text colour changes, picked from one of two schemes by the palette's base
// colour. Nothing is read from or written to settings.
class Z80Lexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    using enum Z80Syntax::Style;

    explicit Z80Lexer(QObject *parent = nullptr);

    const char *language() const override;
    QString description(int style) const override;
    bool caseSensitive() const override;

    using QsciLexerCustom::defaultColor;
    using QsciLexerCustom::defaultPaper;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;

    void setEditor(QsciScintilla *editor) override;
    void styleText(int start, int end) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Each style has a twin that looks the same, from this number on.
    static constexpr int twin = 64;

    // The scheme used on this palette: dark text on a light base or light text on a dark one.
    static QColor styleColor(int style, const QPalette &palette);
    void applyPalette(const QPalette &palette);
    void styleRange(long from, long to);
};
