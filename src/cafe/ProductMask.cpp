#include "cafe/ProductMask.h"

#include "cafe/QCClient.h"

#include <algorithm>

bool MasksFit(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty() || a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != '0' && b[i] != '0') return false;
  }
  return true;
}

std::string MergeMasks(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  std::string merged = a;
  size_t shared = std::min(a.size(), b.size());
  for (size_t i = 0; i < shared; ++i) {
    if (b[i] != '0') merged[i] = b[i];
  }
  return merged;
}

bool IsMaskWanted(const std::string& mask) {
  for (const QCClient* client : QCClient::ActiveClients())
    if (client->Accept(mask, "0")) return true;
  return false;
}
