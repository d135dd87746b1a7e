#include "tests/support/fileLock.h"

FileLock::FileLock(const std::u16string&) {}
FileLock::~FileLock() = default;
bool FileLock::Supported() { return false; }
