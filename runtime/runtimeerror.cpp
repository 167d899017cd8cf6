#include "runtime/runtimeerror.h"

namespace tk {

RuntimeError::RuntimeError(QString message) : text(std::move(message)), utf8(text.toUtf8()) {}

} // namespace tk
