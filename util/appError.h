// The one exception type of the program: its message is what the user sees in the
// default error box, so it is a French UTF-16 text.
#pragma once
#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
public:
  explicit AppError(std::u16string message);
  const std::u16string& Message() const noexcept { return message_; }

private:
  std::u16string message_;
};

// Replaces the first "%s" of pattern with value: the shape of the program's error texts.
std::u16string FillIn(std::u16string_view pattern, std::u16string_view value);
