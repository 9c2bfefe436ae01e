#include "z80_syntax.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace Z80Syntax {

namespace {

// Lower case, sorted for binary search.
constexpr auto instructions = std::to_array<std::string_view>({
    "adc",  "add",  "and",  "bit",  "call", "ccf",  "cp",   "cpd",  "cpdr", "cpi",  "cpir", "cpl",
    "daa",  "dec",  "di",   "djnz", "ei",   "ex",   "exx",  "halt", "im",   "in",   "inc",  "ind",
    "indr", "ini",  "inir", "jp",   "jr",   "ld",   "ldd",  "lddr", "ldi",  "ldir", "neg",  "nop",
    "or",   "otdr", "otir", "out",  "outd", "outi", "pop",  "push", "res",  "ret",  "reti", "retn",
    "rl",   "rla",  "rlc",  "rlca", "rld",  "rr",   "rra",  "rrc",  "rrca", "rrd",  "rst",  "sbc",
    "scf",  "set",  "sla",  "sll",  "sra",  "srl",  "sub",  "xor",
});

// Registers and condition codes; "c" is both.
constexpr auto registers = std::to_array<std::string_view>({
    "a",  "af", "b",   "bc",  "c",  "d",   "de",  "e", "h",  "hl", "i", "ix", "ixh", "ixl",
    "iy", "iyh", "iyl", "l",  "m",  "nc",  "nz",  "p", "pe", "po", "r", "sp", "z",
});

constexpr auto romCalls = std::to_array<std::string_view>({"b_call", "b_jump", "bcall", "bjump"});

// Directive names after "." or "#"; TASM and spasm take either prefix for most.
constexpr auto directives = std::to_array<std::string_view>({
    "addinstr", "assume",  "block",   "bseg",    "byte",      "chk",      "codes",  "comment",
    "cseg",     "db",      "defcont", "define",  "dseg",      "dw",       "echo",   "eject",
    "elif",     "else",    "end",     "endcomment", "endif",  "endm",     "endmacro", "endregion",
    "equ",      "error",   "export",  "fill",    "if",        "ifdef",    "ifndef", "import",
    "include",  "list",    "locallabelchar", "lsfirst", "macro", "module", "msfirst", "nocodes",
    "nolist",   "nopage",  "option",  "org",     "page",      "region",   "seek",   "set",
    "show",     "sym",     "text",    "title",   "undef",     "undefine", "warning", "word",
    "xseg",
});

static_assert(std::ranges::is_sorted(instructions) && std::ranges::is_sorted(registers)
              && std::ranges::is_sorted(romCalls) && std::ranges::is_sorted(directives));

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHex(unsigned char c) { return isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
bool isLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
// Bytes above ASCII belong to the word they touch, so "ldé" is no instruction.
bool isWordChar(unsigned char c) { return isLetter(c) || isDigit(c) || c == '_' || c >= 0x80; }
bool isLabelChar(unsigned char c) { return isWordChar(c) || c == '.' || c == '@' || c == '?'; }

// Lower-cases a short word into buffer; longer words match nothing.
std::string_view lowered(const char *s, qsizetype n, std::array<char, 16> &buffer)
{
    if (n > qsizetype(buffer.size()))
        return {};
    for (qsizetype i = 0; i < n; ++i)
        buffer[i] = isLetter(s[i]) ? char(s[i] | 0x20) : s[i];
    return {buffer.data(), std::size_t(n)};
}

bool contains(auto table, std::string_view word)
{
    return !word.empty() && std::binary_search(table.begin(), table.end(), word);
}

char wordStyle(const char *s, qsizetype n)
{
    std::array<char, 16> buffer;
    const std::string_view word = lowered(s, n, buffer);
    if (contains(instructions, word))
        return Instruction;
    if (contains(registers, word))
        return Register;
    if (contains(romCalls, word))
        return RomCall;
    return word == "equ" ? Directive : Default;
}

bool isDirective(const char *s, qsizetype n)
{
    std::array<char, 16> buffer;
    return contains(directives, lowered(s, n, buffer));
}

bool allOf(const char *s, qsizetype n, bool (*accept)(unsigned char))
{
    return n > 0 && std::all_of(s, s + n, [accept](char c) { return accept(c); });
}

// A word starting with a digit: decimal, or hex / binary / octal by suffix (0FFh, 1010b, 17o).
bool isSuffixedNumber(const char *s, qsizetype n)
{
    if (allOf(s, n, isDigit))
        return true;
    const qsizetype digits = n - 1;
    switch (s[digits] | 0x20) {
    case 'h': return allOf(s, digits, isHex);
    case 'b': return allOf(s, digits, [](unsigned char c) { return c == '0' || c == '1'; });
    case 'o': return allOf(s, digits, [](unsigned char c) { return c >= '0' && c <= '7'; });
    default: return false;
    }
}

// Index after a quoted run starting at i: up to the matching quote, or to the
// line end when it is never closed. A backslash escapes the next character.
qsizetype quotedEnd(const char *s, qsizetype n, qsizetype i)
{
    const char quote = s[i];
    for (qsizetype j = i + 1; j < n; ++j) {
        if (s[j] == '\\')
            ++j;
        else if (s[j] == quote)
            return j + 1;
    }
    return n;
}

qsizetype wordEnd(const char *s, qsizetype n, qsizetype i)
{
    while (i < n && isWordChar(s[i]))
        ++i;
    return i;
}

// Styles one line without its line end.
void styleLine(const char *s, qsizetype n, char *styles)
{
    auto paint = [styles](qsizetype from, qsizetype to, char style) {
        std::fill(styles + from, styles + to, style);
    };
    std::fill(styles, styles + n, char(Default));

    qsizetype i = 0;
    bool first = true;       // nothing but blanks so far
    bool afterLabel = false; // the label is the only thing before this token

    // Whatever starts in the first column is a label, unless it is a directive.
    if (n > 0 && (isLetter(s[0]) || s[0] == '_' || s[0] == '.' || s[0] == '@')) {
        qsizetype j = 1;
        while (j < n && isLabelChar(s[j]))
            ++j;
        if (s[0] == '.' && isDirective(s + 1, wordEnd(s, n, 1) - 1)) {
            j = wordEnd(s, n, 1);
            paint(0, j, Directive);
        } else {
            if (j < n && s[j] == ':')
                ++j;
            paint(0, j, Label);
            afterLabel = true;
        }
        i = j;
        first = false;
    }

    while (i < n) {
        const unsigned char c = s[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        const bool wasFirst = first;
        const bool wasAfterLabel = afterLabel;
        first = afterLabel = false;
        qsizetype j = i + 1;

        if (c == ';') {
            paint(i, n, Comment);
            break;
        } else if (c == '"' || c == '\'') {
            j = quotedEnd(s, n, i);
            paint(i, j, c == '"' ? String : Character);
        } else if (c == '.' || c == '#') {
            j = wordEnd(s, n, j);
            if (isDirective(s + i + 1, j - i - 1))
                paint(i, j, Directive);
        } else if (c == '$' || c == '%' || c == '@') {
            // $FF hex, %1010 binary, @777 octal; alone, "$" is the current address.
            j = wordEnd(s, n, j);
            auto digit = c == '$' ? isHex
                       : c == '%' ? +[](unsigned char d) { return d == '0' || d == '1'; }
                                  : +[](unsigned char d) { return d >= '0' && d <= '7'; };
            if (allOf(s + i + 1, j - i - 1, digit))
                paint(i, j, Number);
        } else if (isDigit(c)) {
            j = wordEnd(s, n, j);
            if (isSuffixedNumber(s + i, j - i))
                paint(i, j, Number);
        } else if (isWordChar(c)) {
            j = wordEnd(s, n, j);
            if (wasFirst && j < n && s[j] == ':') {
                paint(i, j + 1, Label);
                j += 1;
                afterLabel = true;
            } else {
                const char style = wordStyle(s + i, j - i);
                // The shadow pair: "af'" is a register, not a character literal.
                if (style == Register && j - i == 2 && (s[i] | 0x20) == 'a'
                    && (s[i + 1] | 0x20) == 'f' && j < n && s[j] == '\'')
                    ++j;
                paint(i, j, style);
            }
        } else if (c == '=' && wasAfterLabel) {
            paint(i, j, Directive);
        }
        i = j;
    }
}

} // namespace

void styleLines(const char *text, qsizetype length, char *styles)
{
    qsizetype start = 0;
    while (start < length) {
        qsizetype end = start;
        while (end < length && text[end] != '\n' && text[end] != '\r')
            ++end;
        styleLine(text + start, end - start, styles + start);
        qsizetype next = end;
        if (next < length && text[next] == '\r')
            ++next;
        if (next < length && text[next] == '\n')
            ++next;
        std::fill(styles + end, styles + next, char(Default));
        start = next;
    }
}


} // namespace Z80Syntax
