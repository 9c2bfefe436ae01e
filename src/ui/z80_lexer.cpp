#include "z80_lexer.h"

#include "document/z80_syntax.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QEvent>
#include <QPalette>

#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

} // namespace

Z80Lexer::Z80Lexer(QObject *parent) : QsciLexerCustom(parent)
{
    setDefaultFont(QApplication::font());
    applyPalette(QApplication::palette());
}

const char *Z80Lexer::language() const
{
    return "Z80";
}

QString Z80Lexer::description(int style) const
{
    if (style >= twin && style < twin + StyleCount)
        return description(style - twin) + tr(" (continued)");
    switch (style) {
    case Default: return tr("Default");
    case Comment: return tr("Comment");
    case String: return tr("String");
    case Character: return tr("Character");
    case Number: return tr("Number");
    case Instruction: return tr("Instruction");
    case Register: return tr("Register or condition");
    case Directive: return tr("Directive");
    case Label: return tr("Label");
    case RomCall: return tr("ROM call");
    default: return {};
    }
}

bool Z80Lexer::caseSensitive() const
{
    return false;
}

QColor Z80Lexer::defaultColor(int style) const
{
    return styleColor(style % twin, editor() ? editor()->palette() : QApplication::palette());
}

QColor Z80Lexer::defaultPaper(int) const
{
    return defaultPaper();
}

QFont Z80Lexer::defaultFont(int) const
{
    return QApplication::font();
}

QColor Z80Lexer::styleColor(int style, const QPalette &palette)
{
    if (style == Default || style < 0 || style >= StyleCount)
        return palette.color(QPalette::Active, QPalette::Text);
    // Dark, saturated colours on a light base; light ones on a dark base.
    static const QRgb light[StyleCount] = {0, 0x007000, 0xa31515, 0x8b2252, 0x087050,
                                           0x0000c8, 0x00707a, 0xa000c8, 0x795e26, 0xa04000};
    static const QRgb dark[StyleCount] = {0, 0x80b070, 0xce9178, 0xe0a080, 0xb5cea8,
                                          0x6cacf0, 0x9cdcfe, 0xd08ed0, 0xdcdcaa, 0xf0a050};
    const bool darkBase = palette.color(QPalette::Active, QPalette::Base).lightness() < 128;
    return QColor(darkBase ? dark[style] : light[style]);
}

void Z80Lexer::applyPalette(const QPalette &palette)
{
    setDefaultColor(palette.color(QPalette::Active, QPalette::Text));
    setDefaultPaper(palette.color(QPalette::Active, QPalette::Base));
    for (int style = 0; style < StyleCount; ++style) {
        for (const int shown : {style, twin + style}) {
            setColor(styleColor(style, palette), shown);
            setPaper(defaultPaper(), shown);
            setFont(QApplication::font(), shown);
        }
    }
    if (QsciScintilla *sci = editor()) {
        sci->SendScintilla(Sci::SCI_STYLESETFORE, Sci::STYLE_DEFAULT, defaultColor());
        sci->SendScintilla(Sci::SCI_STYLESETBACK, Sci::STYLE_DEFAULT, defaultPaper());
    }
}

void Z80Lexer::setEditor(QsciScintilla *editor)
{
    if (QsciScintilla *old = this->editor())
        old->removeEventFilter(this);
    QsciLexerCustom::setEditor(editor);
    if (editor) {
        editor->installEventFilter(this);
        applyPalette(editor->palette());
    }
}

bool Z80Lexer::eventFilter(QObject *watched, QEvent *event)
{
    // The desktop switched between light and dark.
    if (event->type() == QEvent::PaletteChange && watched == editor())
        applyPalette(editor()->palette());
    return QsciLexerCustom::eventFilter(watched, event);
}

void Z80Lexer::styleText(int start, int end)
{
    QsciScintilla *sci = editor();
    if (!sci)
        return;
    const long length = sci->SendScintilla(Sci::SCI_GETLENGTH);
    const long lines = sci->SendScintilla(Sci::SCI_GETLINECOUNT);
    auto lineStart = [&](long line) {
        return line < lines ? sci->SendScintilla(Sci::SCI_POSITIONFROMLINE, line) : length;
    };
    const long from = lineStart(sci->SendScintilla(Sci::SCI_LINEFROMPOSITION, start));
    const long to = std::min<long>(end, length);

    // Scintilla asks from the last styled position on, which after a jump in a
    // big file lies megabytes above the screen. Only the lines on screen are
    // styled; when some were skipped, the styled end goes back to the start of
    // the request, so Scintilla asks again for whatever is shown next.
    const long top = sci->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long shown = sci->SendScintilla(Sci::SCI_LINESONSCREEN) + 1;
    const long shownFrom = lineStart(sci->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, top));
    const long shownTo = lineStart(sci->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, top + shown) + 1);

    const long a = std::max(from, shownFrom);
    const long b = std::min(to, shownTo);
    if (a >= b)
        return;
    styleRange(a, b);
    if (a > from)
        startStyling(from);
}

void Z80Lexer::styleRange(long from, long to)
{
    QsciScintilla *sci = editor();
    const auto *text = reinterpret_cast<const char *>(
        sci->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
    QByteArray styles(to - from, Qt::Uninitialized);
    Z80Syntax::styleLines(text, styles.size(), styles.data());
    // Scintilla measures a run of one style in pieces of about 100 bytes with
    // Qt's text layout, every time its line changes, and remembers only pieces
    // under 30 bytes. Runs cut into pieces of at most 24 bytes, alternately
    // in a look-alike style, are measured once: typing in a line of a
    // megabyte takes milliseconds instead of a second. Never inside a UTF-8
    // character.
    char previous = -1;
    bool shifted = false;
    for (qsizetype i = 0, run = 0; i < styles.size(); ++i, ++run) {
        const char base = styles[i];
        if (base != previous) {
            previous = base;
            shifted = false;
            run = 0;
        } else if (run >= 24 && (text[i] & 0xc0) != 0x80) {
            shifted = !shifted;
            run = 0;
        }
        if (shifted)
            styles[i] = char(base + twin);
    }
    startStyling(from);
    sci->SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()), styles.constData());
}
