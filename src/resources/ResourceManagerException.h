#pragma once
#include <exception>
#include <string>
#include <utility>

namespace Velk {

// Thrown by the resource manager's getters for an id that is not defined or not loaded.
class ResourceManagerException : public std::exception {
 public:
  explicit ResourceManagerException(std::string what) : mWhat(std::move(what)) {}
  const char* what() const noexcept override;

  std::string mWhat;
};

}  // namespace Velk
