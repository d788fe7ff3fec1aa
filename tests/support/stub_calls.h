#pragma once

#include <string>
#include <vector>

namespace korvu::test {

// The argument lists (argv[0] first) of the calls that korvu-stub-encoder recorded in `record`;
// empty when it was never called. Fails the test on a malformed record.
std::vector<std::vector<std::string>> ReadStubCalls(const std::string& record);

}  // namespace korvu::test
