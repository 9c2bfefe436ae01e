#include "document/folded_search.h"

#include <QTest>

namespace {

struct Found
{
    qsizetype first, last; // -1: nowhere
    bool bounded;          // at most 2n + m bytes of the n of the text looked at, each way
    bool operator==(const Found &) const = default;
};

Found bothWays(QByteArrayView text, QByteArrayView needle)
{
    qsizetype forward = 0, backward = 0;
    const qsizetype first = FoldedSearch(needle, FoldedSearch::Forward).in(text, forward);
    const qsizetype last = FoldedSearch(needle, FoldedSearch::Backward).in(text, backward);
    return {first, last, std::max(forward, backward) <= 2 * text.size() + needle.size()};
}

} // namespace

class TestFoldedSearch : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<qsizetype>("first"); // -1: nowhere
        QTest::addColumn<qsizetype>("last");
        const auto row = [](const char *name, const QByteArray &text, const QByteArray &needle, qsizetype first,
                            qsizetype last) { QTest::newRow(name) << text << needle << first << last; };
        row("once", "\tld a,(hl)", "a,(", 4, 4);
        row("A-Z folded both ways", "Ld A,(hL)", "lD a,(Hl)", 0, 0);
        row("Z and z", "zZz", "Z", 0, 2);
        row("@ is not `", "`@`", "@", 1, 1);
        row("[ is not {", "{[{", "[", 1, 1);
        row("0xc9 is not 0xe9", "\xe9\xc9\xe9", "\xc9", 1, 1);
        row("overlapping aaa", "aaaa", "aaa", 0, 1);
        row("overlapping abab", "ababab", "ABAB", 0, 2);
        row("at the start and the end", "ldxxld", "ld", 0, 4);
        row("whole text", "bcall", "BCALL", 0, 0);
        row("longer than the text", "bcal", "bcall", -1, -1);
        row("empty text", "", "a", -1, -1);
        row("near misses", "aabaabaaba", "aabaaa", -1, -1);
        row("bytes above 127", "\x80\xff\x7f\xff", "\xff", 1, 3);
        // Texts that make a skip-only search slow, with a bound on the work.
        const QByteArray as(20000, 'a');
        const QByteArray almost = QByteArray(497, 'a') + "baa", reversed = "aab" + QByteArray(497, 'a');
        row("a..abaa in a..a", as, almost, -1, -1);
        row("aaba..a in a..a", as, reversed, -1, -1);
        row("a..abaa at the end", as + "baa", almost, 20003 - 500, 20003 - 500);
        row("aaba..a at the start", "aab" + as, reversed, 0, 0);
        row("a..ab in A..A", QByteArray(20000, 'A'), QByteArray(99, 'a') + 'b', -1, -1);
        row("periodic", QByteArray("ab").repeated(10000), QByteArray("ab").repeated(200) + "b", -1, -1);
    }

    void matches()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(qsizetype, first);
        QFETCH(qsizetype, last);
        const Found found = bothWays(text, needle);
        QCOMPARE(found.first, first);
        QCOMPARE(found.last, last);
        QVERIFY(found.bounded);
    }

    // Every needle of up to 4 bytes over a, A and b in every text of up to
    // 7 such bytes: the first and the last match that looking everywhere
    // finds, within the bound.
    void agreesWithLookingEverywhere()
    {
        QList<QByteArray> words{""};
        for (qsizetype i = 0; i < words.size() && words[i].size() < 7; ++i)
            for (const char c : {'a', 'A', 'b'})
                words << words[i] + c;
        for (const QByteArray &needle : words.mid(1, 120))
            for (const QByteArray &text : words) {
                Found expected{-1, -1, true};
                for (qsizetype at = 0; at + needle.size() <= text.size(); ++at)
                    if (text.sliced(at, needle.size()).compare(needle, Qt::CaseInsensitive) == 0)
                        expected = {expected.first < 0 ? at : expected.first, at, true};
                if (!(bothWays(text, needle) == expected))
                    QFAIL((needle + " in " + text).constData());
            }
    }
};

QTEST_GUILESS_MAIN(TestFoldedSearch)
#include "tst_folded_search.moc"
