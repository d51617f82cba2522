#include "KrxEngineError.h"

namespace krx {

EKrxEngineError::EKrxEngineError(const EKrxException& formatted)
    : EKrxException(formatted.Message(), formatted.NativeError()),
      text_("Krx Engine Error # " + std::to_string(formatted.NativeError()) + " " + formatted.Message()) {}

}  // namespace krx
