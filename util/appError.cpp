#include "util/appError.h"

#include "util/textCodec.h"

AppError::AppError(std::u16string message)
    : std::runtime_error(Utf16ToUtf8(message)), message_(std::move(message)) {}

std::u16string FillIn(std::u16string_view pattern, std::u16string_view value) {
  std::u16string text(pattern);
  const auto at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, value);
  return text;
}
