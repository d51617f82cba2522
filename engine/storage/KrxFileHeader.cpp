#include "KrxFileHeader.h"

#include <cstring>

#include "KrxBytes.h"

namespace krx {

void TKrxMainHeader::Encode(uint8_t* out) const {
  std::memset(out, 0, kKrxMainHeaderSize);
  std::memcpy(out, kKrxFileSignature, kKrxSignatureSize);
  PutU16(out, 16, headerSize);
  PutF64(out, 18, version);
  PutU16(out, 26, pageSize);
  PutU16(out, 28, extentPageCount);
  PutI32(out, 30, totalPageCount);
  PutI32(out, 34, lastUsedPageNo);
  PutI32(out, 38, commitCounter);
  PutU8(out, 42, fileState);
  PutU8(out, 43, encrypted ? 0xFF : 0);
}

TKrxMainHeader TKrxMainHeader::Decode(const uint8_t* in) {
  TKrxMainHeader h;
  h.signature.assign(reinterpret_cast<const char*>(in), kKrxSignatureSize);
  h.headerSize = GetU16(in, 16);
  h.version = GetF64(in, 18);
  h.pageSize = GetU16(in, 26);
  h.extentPageCount = GetU16(in, 28);
  h.totalPageCount = GetI32(in, 30);
  h.lastUsedPageNo = GetI32(in, 34);
  h.commitCounter = GetI32(in, 38);
  h.fileState = GetU8(in, 42);
  h.encrypted = GetU8(in, 43) != 0;
  return h;
}

void TKrxSecurityHeader::Encode(uint8_t* out) const {
  std::memset(out, 0, kKrxSecurityHeaderSize);
  PutU16(out, 0, length);
  PutU8(out, 2, cipherID);
  std::memcpy(out + 4, checkBlock.data(), kKrxCheckBlockSize);
  PutU32(out, 260, checkCRC);
}

TKrxSecurityHeader TKrxSecurityHeader::Decode(const uint8_t* in) {
  TKrxSecurityHeader h;
  h.length = GetU16(in, 0);
  h.cipherID = GetU8(in, 2);
  std::memcpy(h.checkBlock.data(), in + 4, kKrxCheckBlockSize);
  h.checkCRC = GetU32(in, 260);
  return h;
}

}  // namespace krx
