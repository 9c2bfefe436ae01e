#include "document/folded_search.h"

#include <QTest>

namespace {

// The first and the last match (-1: nowhere), and whether at most 2n + m
// bytes of the n of the text were looked at, each way.
using Found = std::tuple<qsizetype, qsizetype, bool>;

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
    // The bytes next to A-Z and above 127, which the exhaustive check below
    // never meets, and texts that make a skip-only search slow.
    void matches_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<qsizetype>("first"); // -1: nowhere
        QTest::addColumn<qsizetype>("last");
        const auto row = [](const char *name, const QByteArray &text, const QByteArray &needle, qsizetype first,
                            qsizetype last) { QTest::newRow(name) << text << needle << first << last; };
        row("Z and z", "aZz", "z", 1, 2);
        row("@ is not `", "`@`", "@", 1, 1);
        row("[ is not {", "{[{", "[", 1, 1);
        row("0xc9 is not 0xe9", "\xe9\xc9\xe9", "\xc9", 1, 1);
        row("bytes above 127", "\x80\xff\x7f\xff", "\xff", 1, 3);
        row("near misses", "aabaabaaba", "aabaaa", -1, -1);
        const QByteArray as(20000, 'a');
        const QByteArray almost = QByteArray(497, 'a') + "baa", reversed = "aab" + QByteArray(497, 'a');
        row("a..abaa in a..a", as, almost, -1, -1);
        row("aaba..a in a..a", as, reversed, -1, -1);
        row("a..abaa at the end", as + "baa", almost, 20003 - 500, 20003 - 500);
        row("aaba..a at the start", "aab" + as, reversed, 0, 0);
        row("a..ab in A..A", QByteArray(20000, 'A'), QByteArray(99, 'a') + 'b', -1, -1);
        row("periodic", QByteArray("ab").repeated(10000), QByteArray("ab").repeated(200) + "b", -1, -1);
        row("periodic, broken every 41 bytes", (QByteArray("ab").repeated(20) + 'b').repeated(500),
            QByteArray("ab").repeated(21), -1, -1);
    }

    void matches()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(qsizetype, first);
        QFETCH(qsizetype, last);
        QCOMPARE(bothWays(text, needle), Found(first, last, true));
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
                QList<qsizetype> at;
                for (qsizetype i = 0; i + needle.size() <= text.size(); ++i)
                    if (text.sliced(i, needle.size()).compare(needle, Qt::CaseInsensitive) == 0)
                        at << i;
                if (bothWays(text, needle) != Found(at.value(0, -1), at.value(at.size() - 1, -1), true))
                    QFAIL((needle + " in " + text).constData());
            }
    }
};

QTEST_GUILESS_MAIN(TestFoldedSearch)
#include "tst_folded_search.moc"
