#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Shell-style patterns over UTF-8 text, without regard to the case of A-Z:
//   *      any run of characters, the empty one included
//   ?      exactly one character
//   [abc]  one of the characters listed; [a-z] a range; [!abc] or [^abc] none of them
//   \x     the character x itself
// A pattern matches the whole text: "ELITE" finds only "elite", "*ELITE*" every name
// that holds it. An unclosed "[" stands for itself.
bool wildcardMatch(std::string_view pattern, std::string_view text);

// The text with A-Z turned into a-z; every other byte stays.
std::string foldCase(std::string_view text);

// The runs of plain characters of a pattern (outside wildcards and brackets, escapes
// resolved), case folded, in pattern order. Every text the pattern matches holds each
// of them, which lets a search narrow its candidates before it matches.
std::vector<std::string> literalRuns(std::string_view pattern);

// The number of characters of UTF-8 text (continuation bytes not counted).
std::size_t utf8Length(std::string_view text);

}  // namespace qv
