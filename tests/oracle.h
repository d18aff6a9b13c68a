// The rewrite loop written plainly, step by step as the rules read: the search
// copy and its lower-cased twin are rebuilt for every occurrence, and the
// cross-reference fix-up runs before every single splice. Slow on purpose; the
// fast engine is held against it.
#pragma once

#include <string>
#include <vector>

#include "branding/status.h"

namespace oracle {

brand::Status Brand(std::string doc, const std::vector<std::string>& keys, const std::vector<std::string>& values,
                    std::string& out);

}  // namespace oracle
