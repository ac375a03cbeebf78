#include "contentlib/Expression.h"

#include <cctype>
#include <cstdio>
#include <limits>

namespace Content {
namespace {

constexpr int kMaxDepth = 64;

bool Fits(int64_t v) { return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max(); }

// Recursive descent over the text; the first error stops the walk.
class Parser {
 public:
  Parser(std::string_view text, const LoopVariables& vars) : mText(text), mVars(vars) {}

  std::optional<int32_t> Run(std::string& error) {
    const int64_t v = Sum();
    SkipBlanks();
    if (mError.empty() && mPos != mText.size()) Fail("unexpected '" + std::string(1, mText[mPos]) + "'");
    if (!mError.empty()) return error = mError, std::nullopt;
    return static_cast<int32_t>(v);
  }

 private:
  void Fail(const std::string& why) {
    if (mError.empty()) mError = why;
  }
  void SkipBlanks() {
    while (mPos < mText.size() && mText[mPos] == ' ') ++mPos;
  }
  bool Take(char c) {
    SkipBlanks();
    if (mPos < mText.size() && mText[mPos] == c) return ++mPos, true;
    return false;
  }
  int64_t Checked(int64_t v) {
    if (!Fits(v)) Fail("result outside 32 bits");
    return mError.empty() ? v : 0;
  }

  int64_t Sum() {
    int64_t v = Product();
    while (mError.empty()) {
      if (Take('+'))
        v = Checked(v + Product());
      else if (Take('-'))
        v = Checked(v - Product());
      else
        break;
    }
    return v;
  }

  int64_t Product() {
    int64_t v = Unary();
    while (mError.empty()) {
      const bool times = Take('*');
      const bool divide = !times && Take('/');
      const bool remainder = !times && !divide && Take('%');
      if (!times && !divide && !remainder) break;
      const int64_t rhs = Unary();
      if (!mError.empty()) break;
      if (times) {
        v = Checked(v * rhs);
      } else if (rhs == 0) {
        Fail("division by zero");
      } else {
        v = Checked(divide ? v / rhs : v % rhs);
      }
    }
    return v;
  }

  int64_t Unary() {
    if (++mDepth > kMaxDepth) return Fail("expression nested too deeply"), 0;
    int64_t v = 0;
    if (Take('-'))
      v = Checked(-Unary());
    else if (Take('+'))
      v = Unary();
    else
      v = Primary();
    --mDepth;
    return v;
  }

  int64_t Primary() {
    SkipBlanks();
    if (Take('(')) {
      const int64_t v = Sum();
      if (!Take(')')) Fail("missing ')'");
      return v;
    }
    if (mPos < mText.size() && std::isdigit(static_cast<unsigned char>(mText[mPos]))) return Number();
    if (mPos < mText.size() && (std::isalpha(static_cast<unsigned char>(mText[mPos])) || mText[mPos] == '_'))
      return Name();
    Fail(mPos < mText.size() ? "unexpected '" + std::string(1, mText[mPos]) + "'" : "missing operand");
    return 0;
  }

  int64_t Number() {
    int64_t v = 0;
    while (mPos < mText.size() && std::isdigit(static_cast<unsigned char>(mText[mPos]))) {
      v = v * 10 + (mText[mPos++] - '0');
      if (v > int64_t{1} << 32) return Fail("number outside 32 bits"), 0;
    }
    return Checked(v);
  }

  int64_t Name() {
    const size_t start = mPos;
    while (mPos < mText.size() && (std::isalnum(static_cast<unsigned char>(mText[mPos])) || mText[mPos] == '_')) ++mPos;
    const std::string name(mText.substr(start, mPos - start));
    if (name == "min" || name == "max") return Function(name == "min");
    auto it = mVars.find(name);
    if (it == mVars.end()) return Fail("unknown variable '" + name + "'"), 0;
    if (it->second.isWord) return Fail("no arithmetic on the word variable '" + name + "'"), 0;
    return it->second.number;
  }

  int64_t Function(bool smaller) {
    if (!Take('(')) return Fail("missing '(' after min/max"), 0;
    const int64_t a = Sum();
    if (!Take(',')) return Fail("min/max takes two arguments"), 0;
    const int64_t b = Sum();
    if (!Take(')')) Fail("missing ')'");
    return smaller ? std::min(a, b) : std::max(a, b);
  }

  std::string_view mText;
  const LoopVariables& mVars;
  size_t mPos = 0;
  int mDepth = 0;
  std::string mError;
};

}  // namespace

std::optional<int32_t> Expression::Evaluate(std::string_view text, const LoopVariables& vars, std::string& error) {
  return Parser(text, vars).Run(error);
}

std::optional<std::string> Expression::Substitute(std::string_view inside, const LoopVariables& vars,
                                                  std::string& error) {
  std::string_view body = inside;
  int width = 0;
  if (const size_t colon = inside.rfind(':'); colon != std::string_view::npos) {
    const std::string_view format = inside.substr(colon + 1);
    if (format.size() < 2 || format.size() > 3 || format[0] != '0' ||
        format.find_first_not_of("0123456789") != std::string_view::npos) {
      error = "bad format '" + std::string(format) + "' (use :02)";
      return std::nullopt;
    }
    width = std::stoi(std::string(format.substr(1)));
    body = inside.substr(0, colon);
  }
  std::string trimmed(body);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.erase(0, 1);
  if (auto it = vars.find(trimmed); it != vars.end() && it->second.isWord) return it->second.word;
  const std::optional<int32_t> value = Evaluate(body, vars, error);
  if (!value) return std::nullopt;
  char text[32];
  std::snprintf(text, sizeof text, "%0*d", width, *value);
  return std::string(text);
}

}  // namespace Content
