#pragma once
// Text that names engine text variables between two percent signs ("Money: %money%").
#include <functional>
#include <map>
#include <string>

using QCTextVarCache = std::map<std::string, std::wstring>;
using QCTextVarLookup = std::function<std::wstring(const std::string& name)>;

// The text with every reference replaced by the variable's value; `cache` receives each value used.
// A reference still open at the end is dropped; "%%" names the empty variable. Names keep the low
// byte of each character.
std::wstring ExpandTextVars(const std::wstring& raw, const QCTextVarLookup& lookup, QCTextVarCache& cache);
// True at the first variable, in name order, whose value differs from the cached one.
bool TextVarsChanged(const QCTextVarCache& cache, const QCTextVarLookup& lookup);
