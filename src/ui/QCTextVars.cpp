#include "ui/QCTextVars.h"

std::wstring ExpandTextVars(const std::wstring& raw, const QCTextVarLookup& lookup, QCTextVarCache& cache) {
  std::wstring out;
  std::string name;
  bool inside = false;
  for (wchar_t c : raw) {
    if (c == L'%') {
      if (inside) {
        std::wstring value = lookup(name);
        out += value;
        cache[name] = value;
      }
      name.clear();
      inside = !inside;
    } else if (inside) {
      name += static_cast<char>(c & 0xFF);
    } else {
      out += c;
    }
  }
  return out;
}

bool TextVarsChanged(const QCTextVarCache& cache, const QCTextVarLookup& lookup) {
  for (const auto& [name, value] : cache) {
    if (lookup(name) != value) return true;
  }
  return false;
}
