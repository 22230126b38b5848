#pragma once

#include <string>
#include <string_view>

namespace qv {

// Sort keys for texts shown in lists, so that a plain byte comparison of two keys
// orders the texts as a reader expects: blanks and punctuation before digits before
// letters; letters alphabetically without regard to case or accents (ß as "ss"); then
// unaccented before accented; then lower case before upper case. Texts are UTF-8;
// characters beyond Latin-1 sort after the letters by code point.
std::string collationKey(std::string_view utf8);

// The three-way comparison of the texts' keys (-1, 0, 1).
int collate(std::string_view a, std::string_view b);

}  // namespace qv
