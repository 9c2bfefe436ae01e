#include "folded_search.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::array<uchar, 256> folding = [] {
    std::array<uchar, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = uchar(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return table;
}();

// The last of x's suffixes in byte order (`inverted`: in the reverse order),
// as the index before its start, and its period.
std::pair<qsizetype, qsizetype> maximalSuffix(QByteArrayView x, bool inverted)
{
    qsizetype before = -1, at = 0, offset = 1, period = 1;
    while (at + offset < x.size()) {
        const uchar a = x[at + offset], b = x[before + offset];
        if (a == b) {
            if (offset == period) {
                at += period;
                offset = 1;
            } else {
                ++offset;
            }
        } else if ((a < b) != inverted) {
            at += offset;
            offset = 1;
            period = at - before;
        } else {
            before = at++;
            offset = period = 1;
        }
    }
    return {before, period};
}

} // namespace

FoldedSearch::FoldedSearch(QByteArrayView needle, Direction direction) : m_backward(direction == Backward)
{
    const qsizetype m = needle.size();
    m_needle.resize(m);
    for (qsizetype i = 0; i < m; ++i)
        m_needle[i] = char(folding[uchar(needle[m_backward ? m - 1 - i : i])]);

    // A critical factorisation: the later of the two maximal suffixes.
    const auto [less, lessPeriod] = maximalSuffix(m_needle, false);
    const auto [greater, greaterPeriod] = maximalSuffix(m_needle, true);
    m_split = std::max(less, greater) + 1;
    m_period = less > greater ? lessPeriod : greaterPeriod;
    m_periodic = m_split + m_period <= m
                 && QByteArrayView(m_needle).first(m_split) == QByteArrayView(m_needle).sliced(m_period, m_split);
    if (!m_periodic)
        m_period = std::max(m_split, m - m_split) + 1;

    m_skip.fill(m);
    for (qsizetype i = 0; i + 1 < m; ++i)
        m_skip[uchar(m_needle[i])] = m - 1 - i;
    if (m > 0)
        m_skip[uchar(m_needle[m - 1])] = 0;
    for (int c = 'A'; c <= 'Z'; ++c)
        m_skip[c] = m_skip[folding[c]];
}

// The first match in the text of `size` bytes that byte(i) reads, or -1.
template<typename Byte>
qsizetype FoldedSearch::search(qsizetype size, Byte byte) const
{
    const qsizetype m = m_needle.size();
    const auto *x = reinterpret_cast<const uchar *>(m_needle.constData());
    // The window starts at j; its first `memory` bytes are known to match.
    qsizetype j = 0, memory = 0;
    while (m > 0 && j <= size - m) {
        if (qsizetype skip = m_skip[byte(j + m - 1)]) {
            // Past a repeating needle's right half, a last byte that breaks
            // the period rules out every window up to m - period on.
            if (memory > 0)
                skip = std::max(skip, m - m_period);
            j += skip;
            memory = 0;
            // Under a short needle, stepping on by one is faster than jumping:
            // a step waits for no read, a jump for two.
            while (m <= 8 && j <= size - m && m_skip[byte(j + m - 1)] != 0)
                ++j;
            continue;
        }
        // The last byte matches; the rest of the right half, left to right.
        qsizetype i = std::max(m_split, memory);
        while (i < m - 1 && x[i] == folding[byte(j + i)])
            ++i;
        if (i < m - 1) {
            j += i - m_split + 1;
            memory = 0;
            continue;
        }
        // Then the left half, right to left.
        i = m_split;
        while (i > memory && x[i - 1] == folding[byte(j + i - 1)])
            --i;
        if (i <= memory)
            return j;
        j += m_period;
        memory = m_periodic ? m - m_period : 0;
    }
    return -1;
}

template<typename Look>
qsizetype FoldedSearch::searchIn(QByteArrayView text, Look look) const
{
    const qsizetype size = text.size();
    const char *first = text.data(), *last = first + size;
    if (!m_backward)
        return search(size, [&](qsizetype i) { look(); return uchar(first[i]); });
    // Backward: the reversed needle, forward through the text read from its end.
    const qsizetype at = search(size, [&](qsizetype i) { look(); return uchar(last[-1 - i]); });
    return at < 0 ? -1 : size - at - m_needle.size();
}

qsizetype FoldedSearch::in(QByteArrayView text) const
{
    return searchIn(text, [] {});
}

qsizetype FoldedSearch::in(QByteArrayView text, qsizetype &looks) const
{
    return searchIn(text, [&looks] { ++looks; });
}
