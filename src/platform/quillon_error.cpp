#include "platform/quillon_error.h"

namespace quillon {

void RaiseError(const std::string &message) { throw QuillonError(message); }

void RaiseLastError(const std::string &message, int errorCode) { RaiseError(message + std::to_string(errorCode)); }

} // namespace quillon
