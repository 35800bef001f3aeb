// Double-byte-aware text primitives on ANSI byte strings. A byte from the
// code page's lead-byte set starts a two-byte character; every other byte is
// a one-byte character. Searches compare only at character boundaries, so a
// one-byte search text never matches the second byte of a two-byte character
// (in Shift-JIS those include the backslash and the vertical bar).
#pragma once

#include <string>
#include <string_view>

namespace lumora {

// 1-based position of search in text counted in characters; 0 when absent.
// An empty search text gives 1 for a non-empty text and 0 for an empty one.
int MbcsPos(std::string_view search, std::string_view text);

// 1-based byte position of the first match at or after the 1-based byte
// position start; 0 when absent, when either text is empty or when the text
// is shorter than start.
int PosFrom(std::string_view search, std::string_view text, int start);

// The source with the first (all = false) or every occurrence of search
// replaced; the search resumes behind each inserted replacement.
std::string ReplaceText(std::string_view source, std::string_view search,
                        std::string_view replacement, bool all);

// Full-width characters of the first 254 bytes of text mapped to half-width.
std::string ToHalfWidth(std::string_view text);

// Lenient text-to-number conversion (full-width digits, digit grouping,
// a leading yen sign, "$" hexadecimal, trailing text ignored); 0 when the
// text holds no number.
double StrToNum(std::string_view text);

// The folder part of a path: everything up to and including its last
// backslash or colon that is not the second byte of a two-byte character;
// empty when there is none.
std::string FolderPart(std::string_view path);

// The name part of a path: everything after the folder part.
std::string NamePart(std::string_view path);

}  // namespace lumora
