#pragma once

#include <functional>
#include <optional>

namespace qv::test {

// Runs BODY with the rights of an ordinary user and returns its result (0 for
// success). A test that needs a folder its user cannot read or write cannot make one
// as root, who passes every permission check; as root BODY therefore runs in a child
// process that has given its rights up to the user "nobody" (uid and gid 65534). Files
// BODY must reach need to be readable by others, their folders searchable. nullopt
// when root cannot give its rights up here (no fork, a container without setuid).
std::optional<int> runAsOrdinaryUser(const std::function<int()>& body);

}  // namespace qv::test
