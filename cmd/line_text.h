#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvu::cmd {

// The value of an environment variable, or nothing when it is not set.
using VariableLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The first step of reading a script line: percent expansion as a batch file gets it.
//  - "%%" gives one '%';
//  - "%0" to "%9" give the script's arguments (`arguments[0]` is the script itself), empty when
//    missing; "%*" gives arguments 1 onward joined by blanks;
//  - "%NAME%" gives the variable's value, or nothing at all when it is not set;
//  - a '%' without a closing one is dropped.
std::string ExpandPercents(std::string_view line, const VariableLookup& lookup,
                           const std::vector<std::string>& arguments);

// The second step: the line with the escapes resolved, or the first operator that stands outside
// quotes. Outside quotes, '^' makes the next character literal and is dropped (a '^' at the end of
// the line is dropped too); '"' switches quoting and stays. Inside quotes everything is literal.
struct ResolvedLine {
  std::string text;
  std::optional<char> unquoted_operator;  // one of & | < >; `text` is then incomplete
};
ResolvedLine ResolveEscapes(std::string_view line);

}  // namespace korvu::cmd
