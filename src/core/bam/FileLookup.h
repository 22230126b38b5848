#pragma once

#include <string>

namespace qv {

class BlockMap;

// The name between the quotes of a listed file name (code page 437), as UTF-8; a
// name without a leading quote is only converted.
std::string bareName(const std::string& listed);

// The row of a file given as "#N" (the N-th file, from 1) or by its name, either bare
// or as listed with its quotes, in UTF-8. -1 when no row fits.
int findRow(const BlockMap& map, const std::string& name);

}  // namespace qv
