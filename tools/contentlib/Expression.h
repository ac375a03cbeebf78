#pragma once
// The integer expressions of the repeat macro: literals, loop variables, + - * / % with C
// semantics on 32-bit values (division truncates), parentheses, min(a,b) and max(a,b).
// Worked in 64 bits, so a zero divisor or a result outside 32 bits is an error, never undefined.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace Content {

struct LoopValue {
  int32_t number = 0;
  std::string word;  // set for the word form; such a variable takes no arithmetic
  bool isWord = false;
};

using LoopVariables = std::map<std::string, LoopValue>;

class Expression {
 public:
  // The value, or nothing with the reason in error.
  static std::optional<int32_t> Evaluate(std::string_view text, const LoopVariables& vars, std::string& error);

  // The text that "{...}" stands for: a lone word variable gives its word; ":0N" pads to N digits.
  static std::optional<std::string> Substitute(std::string_view inside, const LoopVariables& vars, std::string& error);
};

}  // namespace Content
