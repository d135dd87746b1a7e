#include "util/dataResource.h"

#include <algorithm>

std::string_view FirstLine(std::string_view text) {
  // Two memchr scans: find_first_of would test every byte against the set, and the
  // payload texts are tens of megabytes on one line.
  return text.substr(0, std::min(text.find('\r'), text.find('\n')));
}
