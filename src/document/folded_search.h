#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>

// Finds a text in another with A-Z and a-z alike, as the assembler reads
// them; every other byte stands for itself. Crochemore and Perrin's Two-Way
// search, which looks at no more than 2n + m bytes of a text of n bytes for a
// needle of m, with Horspool's skip over the bytes the needle's last one
// cannot be, so that a needle that is not there is mostly jumped over.
class FoldedSearch
{
public:
    enum Direction { Forward, Backward };

    // `needle` is not empty.
    FoldedSearch(QByteArrayView needle, Direction direction);

    // Where the first match in `text` starts (backward: the last one), or -1.
    qsizetype in(QByteArrayView text) const;
    // The same, adding to `looks` each time a byte of `text` is read.
    qsizetype in(QByteArrayView text, qsizetype &looks) const;

private:
    template<typename Byte>
    qsizetype search(qsizetype size, Byte byte) const;
    template<typename Look>
    qsizetype searchIn(QByteArrayView text, Look look) const;

    bool m_backward;
    QByteArray m_needle;  // folded, and reversed for a backward search
    qsizetype m_split;    // the needle's right half starts here
    qsizetype m_period;   // how far the needle moves past a match of its right half
    bool m_periodic;      // whether m_period is the needle's own period
    std::array<qsizetype, 256> m_skip; // by text byte: how far from the last needle byte
};
