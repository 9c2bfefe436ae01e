#include "document/z80_syntax.h"

#include <QTest>

// What colours a line: each row names tokens as "style letter, space, text",
// in order; every byte of a token must carry that style.
class TestZ80Syntax : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("tokens");
        const auto row = [](const char *name, const QByteArray &line, const QByteArray &tokens) {
            QTest::newRow(name) << line << tokens;
        };
        row("registers, any case", "\tLD a,(Ix+5)", "I LD|R a|R Ix|N 5");
        row("c is a condition too", "\tjr c,loop", "I jr|R c|D loop");
        row("shadow pair", "\tex af,af' ; swap", "I ex|R af|R af'|C ; swap");
        row("label with colon", "loop: djnz loop", "L loop:|I djnz|D loop");
        row("label without colon", "start\tret", "L start|I ret");
        row("= form", "KEY = 5", "L KEY|P =|N 5");
        row("equ form", "KEY EQU 5", "L KEY|P EQU|N 5");
        row("directive in column 1", ".org 9D93h", "P .org|N 9D93h");
        row("#include", "#include \"ti83plus.inc\"", "P #include|S \"ti83plus.inc\"");
        row("#define", "#DEFINE bcall(x) rst 28h \\ .dw x", "P #DEFINE|B bcall|I rst|N 28h|P .dw");
        row("rom calls", "\tbcall(_ClrLCDFull) \\ B_JUMP(_PutS)", "B bcall|D _ClrLCDFull|B B_JUMP|D _PutS");
        row("string with ; and code", "\t.db \"ld a; nop\",0", "P .db|S \"ld a; nop\"|N 0");
        row("escaped quote", "\t.db \"a\\\"b;\",1", "S \"a\\\"b;\"|N 1");
        row("unclosed string", "\t.db \"abc ; ret", "S \"abc ; ret");
        row("comment with quote", "\tnop ; say \"ld a, it's", "I nop|C ; say \"ld a, it's");
        row("semicolon character", "\tcp ';'", "I cp|K ';'");
        row("8-bit bytes", "\tld\xe9 a ; caf\xc3\xa9", "D ld\xe9|R a|C ; caf\xc3\xa9");
        row("line ends", "; x\r\n\tnop\r\tret\n\tdi", "C ; x|D \r\n|I nop|D \r|I ret|I di");
        row("long word", "\tldldldldldldldldldldldldldldldldldld", "D ldldldldldldldldldldldldldldldldldld");
        // Each number form at its edges; a near miss stays plain.
        for (const QByteArray &number : QByteArray("N$0 N$FFff D$G D$FFG N0FFh N0ffH D0FF D0FFhh N%1010 D%102 "
                                                   "N1010b D102b N0bh N65535 D12a N@777 D@8 N17o D18o").split(' '))
            row(number, "\tld hl," + number.mid(1), "I ld|R hl|" + number.left(1) + ' ' + number.mid(1));
    }

    void tokens()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, tokens);
        QByteArray styles(line.size(), '?');
        Z80Syntax::styleLines(line.constData(), line.size(), styles.data());
        for (char &style : styles)
            style = QByteArray("DCSKNIRPLB").at(style);

        qsizetype from = 0;
        for (const QByteArray &token : tokens.split('|')) {
            const QByteArray text = token.mid(2);
            const qsizetype at = line.indexOf(text, from);
            QVERIFY2(at >= 0, token.constData());
            QCOMPARE(styles.mid(at, text.size()), QByteArray(text.size(), token.at(0)));
            from = at + text.size();
        }
    }
};

QTEST_GUILESS_MAIN(TestZ80Syntax)
#include "tst_z80_syntax.moc"
