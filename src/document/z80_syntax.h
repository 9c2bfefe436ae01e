#pragma once

#include <QtGlobal>

// What colours a line of Z80 assembly in the TASM/spasm style: plain byte
// logic. Every line is styled on its own, so any line can be styled without
// looking at the ones before it.
namespace Z80Syntax {

enum Style : char {
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

// One style byte per text byte. A line ends at LF, CR LF or a lone CR, and its
// line end stays Default.
void styleLines(const char *text, qsizetype length, char *styles);

} // namespace Z80Syntax
