#pragma once

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>

class QPalette;

// Colours Z80 assembly in the TASM/spasm style. Every line is coloured on its
// own, so any line can be styled without looking at the ones before it, and
// only the lines on screen are styled. Every style keeps the UI font; only the
// text colour changes, picked from one of two schemes by the palette's base
// colour. Nothing is read from or written to settings.
class Z80Lexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    enum Style {
        Default,
        Comment,
        String,
        Character,
        Number,
        Instruction,
        Register, // registers and condition codes: "c" is both
        Directive,
        Label,
        RomCall, // bcall / bjump
        StyleCount
    };

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

    // The scheme used on this palette: dark text on a light base or light text on a dark one.
    static QColor styleColor(int style, const QPalette &palette);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyPalette(const QPalette &palette);
    void styleRange(long from, long to);
};
