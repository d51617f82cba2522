// The engine's message table. Every message lives once, with its native code,
// in the .def file of the layer that raises it:
//     KRX_ERROR(Name, code, "printf-style text")
// and is raised by name: throw EKrxException(KrxError::TableNotFound, name);
#pragma once

#include <cstdint>

namespace krx {

enum class KrxError : int32_t {
#define KRX_ERROR(name, code, text) name,
  Generic,  // "%s" with a code given by the raiser
#include "codec/KrxCodecErrors.def"
#include "codec/KrxCryptoErrors.def"
#include "storage/KrxStorageErrors.def"
#include "storage/KrxTableErrors.def"
#include "sql/KrxSqlErrors.def"
#include "sql/KrxExprErrors.def"
#include "client/KrxClientErrors.def"
#undef KRX_ERROR
  Count_
};

const char* KrxErrorText(KrxError error);
int32_t KrxErrorCode(KrxError error);

}  // namespace krx
