#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace filefind {

// File names compared as the lists have always compared them: as UTF-16
// code units, folded by Unicode's simple case folding, so that lists keep
// their order and masks match the same names whatever bytes a name holds.

// The character that starts at Text[At], At moved past it; a byte that
// starts no well-formed UTF-8 character stands for U+FFFD on its own.
// At must be less than Text's size.
char32_t NextCharacter(std::string_view Text, std::size_t &At);

// Text as UTF-16, every byte that starts no character as U+FFFD; a byte
// order mark at the start is left out, as the lists have always read names.
std::u16string Utf16(std::string_view Text);

// The simple case folding of one character (itself when it has none).
char32_t FoldCase(char32_t C);

// Every character of Text folded, a surrogate pair as its one character.
std::u16string CaseFolded(std::u16string_view Text);

// Text without the white space (Unicode's separators, tab to CR, U+0085)
// at either end.
std::u16string_view Trimmed(std::u16string_view Text);

// Negative, zero or positive as A sorts before, with or after B without
// regard to case, unit by unit; the low half of a surrogate pair counts as
// its whole character folded.
int CompareWithoutCase(std::u16string_view A, std::u16string_view B);

// A name and its UTF-16 form, which its place in a list is taken from.
struct SortName
{
    std::u16string text;
    std::string bytes;
};

// The lists' order: without regard to case, then by units, then by bytes
// (two names that are not UTF-8 can read alike), so every listing comes in
// one fixed order.
bool NameBefore(const SortName &A, const SortName &B);

} // namespace filefind
