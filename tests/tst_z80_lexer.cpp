// Z80 colouring in Text1: what each token gets, readable colours, the UI font
// and the bytes untouched, and only the lines on screen styled.

#include "ui/source_editor.h"
#include "ui/z80_lexer.h"

#include <QApplication>
#include <QTest>

using Sci = QsciScintillaBase;

class TestZ80Lexer : public QObject
{
    Q_OBJECT

    SourceEditor *shown = nullptr;

    long styleAt(long position) { return shown->SendScintilla(Sci::SCI_GETSTYLEAT, position); }
    long lineStart(long line) { return shown->SendScintilla(Sci::SCI_POSITIONFROMLINE, line); }
    long styleOfLine(long line) { return styleAt(lineStart(line) + 1); }
    void paint() { shown->viewport()->repaint(); }

    static void row(const QByteArray &name, const QByteArray &line, const QByteArray &tokens)
    {
        QTest::newRow(name.constData()) << line << tokens;
    }

    // 100000 lines, about 3 MB.
    void setBigText()
    {
        QByteArray text;
        for (int i = 0; i < 100000; ++i)
            text += "\tld a,$FF ; count " + QByteArray::number(i) + "\r\n";
        shown->setText(text);
    }

private slots:
    void initTestCase()
    {
        shown = new SourceEditor;
        shown->resize(500, 300);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QVERIFY(qobject_cast<Z80Lexer *>(shown->lexer()));
    }

    void cleanupTestCase() { delete shown; }

    void tokens_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("tokens"); // "style letter, space, text" separated by '|'

        row("registers", "\tld a,(ix+5)", "I ld|R a|R ix|N 5");
        row("any case", "\tLD HL,De", "I LD|R HL|R De");
        row("c is a condition too", "\tjr c,loop", "I jr|R c|D loop");
        row("shadow pair", "\tex af,af' ; swap", "I ex|R af|R af'|C ; swap");
        row("label with colon", "loop: djnz loop", "L loop:|I djnz|D loop");
        row("label without colon", "start\tret", "L start|I ret");
        row("indented label", "  next: inc a", "L next:|I inc|R a");
        row("= form", "KEY = 5", "L KEY|P =|N 5");
        row("equ form", "KEY EQU 5", "L KEY|P EQU|N 5");
        row(".equ form", "KEY .equ 5", "L KEY|P .equ|N 5");
        row("directive in column 1", ".org 9D93h", "P .org|N 9D93h");
        row("#include", "#include \"ti83plus.inc\"", "P #include|S \"ti83plus.inc\"");
        row("#define", "#DEFINE bcall(x) rst 28h \\ .dw x", "P #DEFINE|B bcall|I rst|N 28h|P .dw");
        row("unknown directives", "\t.foo 1 \\ #bar", "D .foo|D #bar");
        row("bcall", "\tbcall(_ClrLCDFull) \\ B_CALL(_PutS)", "B bcall|D _ClrLCDFull|B B_CALL|D _PutS");
        row("bjump", "\tbjump(_JForceCmdNoChar) \\ b_jump(_Mon)", "B bjump|D _JForceCmdNoChar|B b_jump");
        row("string with ; and code", "\t.db \"ld a; nop\",0", "P .db|S \"ld a; nop\"|N 0");
        row("escaped quote", "\t.db \"a\\\"b;\",1", "S \"a\\\"b;\"|N 1");
        row("unclosed string", "\t.db \"abc ; ret", "S \"abc ; ret");
        row("comment with quote", "\tnop ; say \"ld a, it's", "I nop|C ; say \"ld a, it's");
        row("comment line", "; ld a,b .org", "C ; ld a,b .org");
        row("semicolon character", "\tcp ';'", "I cp|K ';'");
        row("quote character", "\tld a,'\\'' ;q", "K '\\''|C ;q");
        row("8-bit bytes", "\tld\xe9 a ; caf\xc3\xa9", "D ld\xe9|R a|C ; caf\xc3\xa9");
        row("line ends", "; x\r\n\tnop\r\tret\n\tdi", "C ; x|I nop|I ret|I di");

        // Each number form at its edges; a near miss stays plain.
        for (const QByteArray &number : QByteArray("N$0 N$FFff D$ D$G D$FFG N0FFh N0ffH DFFh N0h D0FF D0FFhh N%0 N%1010 "
                                                   "D% D%102 D%2 N1010b N0b N1B D102b N0bh N0 N65535 D12a N@777 "
                                                   "D@8 N17o D18o").split(' '))
            row(number, "\tld hl," + number.mid(1), "I ld|R hl|" + number.left(1) + ' ' + number.mid(1));

        for (const QByteArray &name : QByteArray("adc add and bit call ccf cp cpd cpdr cpi cpir cpl daa dec di djnz "
                                                 "ei ex exx halt im in inc ind indr ini inir jp jr ld ldd lddr ldi "
                                                 "ldir neg nop or otdr otir out outd outi pop push res ret reti retn "
                                                 "rl rla rlc rlca rld rr rra rrc rrca rrd rst sbc scf set sla sll "
                                                 "sra srl sub xor").split(' '))
            row(name, "\t" + name.toUpper(), "I " + name.toUpper());
        for (const QByteArray &name :
             QByteArray("a b c d e h l af bc de hl sp ix iy i r ixh ixl iyh iyl nz z nc po pe p m").split(' '))
            row(name, "\tpush " + name, "I push|R " + name);
        for (const QByteArray &name : QByteArray(".org .db .dw .equ .end .fill .block .byte .word .text .echo .list "
                                                 ".nolist .addinstr .module .include #include #define #ifdef #ifndef "
                                                 "#if #else #endif #undef #macro #endmacro #comment #endcomment")
                                          .split(' '))
            row(name, "\t" + name, "P " + name);
    }

    void tokens()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, tokens);

        shown->setText(line);
        shown->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);

        qsizetype from = 0;
        for (const QByteArray &token : tokens.split('|')) {
            const QByteArray text = token.mid(2);
            const qsizetype at = line.indexOf(text, from);
            QVERIFY2(at >= 0, token.constData());
            QByteArray seen;
            for (qsizetype i = at; i < at + text.size(); ++i)
                seen += QByteArray("DCSKNIRPLB").at(styleAt(i));
            QCOMPARE(seen, QByteArray(text.size(), token.at(0)));
            from = at + text.size();
        }
    }

    void readableOnPalette_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("text");
        QTest::newRow("white") << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("light grey") << QColor(0xef, 0xf0, 0xf1) << QColor(0x23, 0x26, 0x29);
        QTest::newRow("dark grey") << QColor(0x23, 0x26, 0x29) << QColor(0xfc, 0xfc, 0xfc);
        QTest::newRow("black") << QColor(Qt::black) << QColor(Qt::white);
    }

    void readableOnPalette()
    {
        QFETCH(QColor, base);
        QFETCH(QColor, text);

        SourceEditor editor;
        QPalette palette = editor.palette();
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Text, text);
        editor.setPalette(palette); // as when the desktop switches between light and dark

        auto color = [&](int message, int style) {
            const long bgr = editor.SendScintilla(message, style);
            return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
        };
        auto luminance = [](const QColor &c) { // WCAG relative luminance
            auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) + 0.05;
        };
        for (int style = 0; style < Z80Lexer::StyleCount; ++style) {
            const double l1 = luminance(color(Sci::SCI_STYLEGETFORE, style)), l2 = luminance(base);
            const double contrast = std::max(l1, l2) / std::min(l1, l2);
            QVERIFY2(contrast >= 4.5, qPrintable(QString("style %1 contrast %2").arg(style).arg(contrast)));
            QCOMPARE(color(Sci::SCI_STYLEGETBACK, style), base);
        }
        QCOMPARE(color(Sci::SCI_STYLEGETFORE, Sci::STYLE_DEFAULT), text);
        QCOMPARE(color(Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT), base);
    }

    void keepsTheUiFont()
    {
        SourceEditor editor;
        const QFont font = QApplication::font();
        for (int style = -1; style < Z80Lexer::StyleCount; ++style) {
            const int s = style < 0 ? int(Sci::STYLE_DEFAULT) : style;
            char family[256] = {};
            editor.SendScintilla(Sci::SCI_STYLEGETFONT, s, family);
            QCOMPARE(QString::fromUtf8(family), font.family());
            QCOMPARE(editor.SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, s), long(font.pointSizeF() * 100));
            QCOMPARE(editor.SendScintilla(Sci::SCI_STYLEGETWEIGHT, s), -long(font.weight()));
            QCOMPARE(editor.SendScintilla(Sci::SCI_STYLEGETITALIC, s), 0L);
        }
        QCOMPARE(editor.eolMode(), QsciScintilla::EolWindows);
    }

    void stylesOnlyTheRequestedLines()
    {
        setBigText();
        shown->setFirstVisibleLine(50000); // colours the new screen at once
        shown->SendScintilla(Sci::SCI_CLEARDOCUMENTSTYLE);

        qobject_cast<Z80Lexer *>(shown->lexer())->styleText(lineStart(50001), lineStart(50003));

        QCOMPARE(styleOfLine(50000), long(Z80Lexer::Default));
        QCOMPARE(styleOfLine(50001), long(Z80Lexer::Instruction));
        QCOMPARE(styleOfLine(50002), long(Z80Lexer::Instruction));
        QCOMPARE(styleOfLine(50003), long(Z80Lexer::Default));
    }

    void jumpStylesOnlyTheScreen()
    {
        setBigText();
        paint();
        QCOMPARE(styleOfLine(0), long(Z80Lexer::Instruction));

        // Ctrl+End: the last lines are coloured, nothing between.
        shown->SendScintilla(Sci::SCI_DOCUMENTEND);
        paint();
        QCOMPARE(styleOfLine(99999), long(Z80Lexer::Instruction));
        QCOMPARE(styleOfLine(50000), long(Z80Lexer::Default));
        QVERIFY(shown->SendScintilla(Sci::SCI_GETENDSTYLED) < lineStart(50000));

        // An edit on screen is coloured again.
        shown->SendScintilla(Sci::SCI_INSERTTEXT, lineStart(99999), "; new\r\n");
        paint();
        QCOMPARE(styleAt(lineStart(99999)), long(Z80Lexer::Comment));

        // Skipped lines are coloured when they are shown.
        shown->setFirstVisibleLine(50000);
        paint();
        QCOMPARE(styleOfLine(50000), long(Z80Lexer::Instruction));
        QCOMPARE(styleOfLine(25000), long(Z80Lexer::Default));
    }
};

QTEST_MAIN(TestZ80Lexer)
#include "tst_z80_lexer.moc"
