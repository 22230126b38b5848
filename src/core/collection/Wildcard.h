#pragma once

#include <string>
#include <string_view>

namespace qv {

// Shell-style patterns over UTF-8 text, without regard to the case of A-Z:
//   *      any run of characters, the empty one included
//   ?      exactly one character
//   [abc]  one of the characters listed; [a-z] a range; [!abc] or [^abc] none of them
//   \x     the character x itself
// A pattern matches the whole text: "ELITE" finds only "elite", "*ELITE*" every name
// that holds it. An unclosed "[" stands for itself.
bool wildcardMatch(std::string_view pattern, std::string_view text);

// The longest run of plain characters of the pattern, case-folded: every text the
// pattern matches holds it (empty when the pattern has no plain character). A search
// skips texts that lack it before it matches them in full.
std::string requiredText(std::string_view pattern);

// The text with A-Z turned into a-z; every other byte stays.
std::string foldCase(std::string_view text);

}  // namespace qv
