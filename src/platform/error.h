// The one exception type of the program: a failing operation throws it with
// a UTF-8 text that the general error report shows to the user as it stands.
#pragma once

#include <stdexcept>
#include <string>

namespace lumora {

class AppError : public std::runtime_error {
 public:
  explicit AppError(const std::string& utf8Message) : std::runtime_error(utf8Message) {}
};

}  // namespace lumora
