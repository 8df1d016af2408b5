// An error as the server reports it to the client: number, severity (class), state, text.
#pragma once
#include <stdexcept>
#include <string>

namespace standin {

struct SqlError : std::runtime_error {
  SqlError(int number, int severity, int state, const std::string& message)
      : std::runtime_error(message), number(number), severity(severity), state(state) {}
  int number;
  int severity;
  int state;
};

inline SqlError syntax_error(const std::string& near) {
  return SqlError(102, 15, 1, "Incorrect syntax near '" + near + "'.");
}

inline SqlError invalid_object(const std::string& name) {
  return SqlError(208, 16, 1, "Invalid object name '" + name + "'.");
}

inline SqlError invalid_column(const std::string& name) {
  return SqlError(207, 16, 1, "Invalid column name '" + name + "'.");
}

inline SqlError not_supported(const std::string& what) {
  return SqlError(40000, 16, 1, "The stand-in server does not support " + what + ".");
}

}  // namespace standin
