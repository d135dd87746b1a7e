// The message of the AppError that a call raises.
#pragma once
#include <string>

#include "util/appError.h"

// The message, or "(no error)" when the call raises none.
template <class Call>
std::u16string ErrorOf(Call call) {
  try {
    call();
  } catch (const AppError& error) {
    return error.Message();
  }
  return u"(no error)";
}
