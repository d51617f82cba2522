// A compressed buffer:
//     offset 0  u32 LE header: bits 0-3 order - 1, bits 4-11 memory MB - 1,
//                              bits 12-15 variant tag 6, bits 16-31 zero
//     offset 4  range coder output, the last 4 bytes its flush
// No length is stored: the caller knows the uncompressed size.
#include "KrxPPM.h"

#include <algorithm>
#include <memory>
#include <new>

#include "KrxBytes.h"
#include "KrxPPMModel.h"
#include "KrxPPMRangeCoder.h"

namespace krx {

namespace {

constexpr uint32_t kVariantTag = 6;
constexpr size_t kHeaderSize = 4;

struct PPMSetting {
  unsigned order;
  unsigned memoryMB;
};

// By mode 1..9.
constexpr PPMSetting kSettings[9] = {{2, 2},  {3, 3},  {4, 7},    {5, 16},  {7, 22},
                                     {8, 25}, {10, 40}, {13, 100}, {16, 100}};

}  // namespace

bool PPMCompress(const uint8_t* src, size_t count, int mode, std::vector<uint8_t>& out) {
  out.clear();
  const PPMSetting setting = kSettings[std::clamp(mode, 1, 9) - 1];
  const size_t limit = count + count / 20 + 50;
  try {
    out.reserve(limit);
    out.resize(kHeaderSize);
    PutU32(out.data(), 0,
           (setting.order - 1) | ((setting.memoryMB - 1) << 4) | (kVariantTag << 12));

    auto model = std::make_unique<TKrxPPMModel>();
    if (!model->Start(setting.order, setting.memoryMB << 20)) {
      out.clear();
      return false;
    }
    TKrxPPMRangeEncoder coder(out, limit);
    for (size_t i = 0; i < count && coder.Ok(); ++i) {
      if (!model->EncodeSymbol(coder, src[i])) {
        out.clear();
        return false;
      }
    }
    coder.Flush();
    if (!coder.Ok()) {
      out.clear();
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    out.clear();
    return false;
  }
}

bool PPMDecompress(const uint8_t* src, size_t count, size_t expectedSize, std::vector<uint8_t>& out) {
  out.clear();
  if (count < kHeaderSize) return false;
  const uint32_t header = GetU32(src, 0);
  if (((header >> 12) & 0xF) != kVariantTag) return false;
  const unsigned order = (header & 0xF) + 1;
  const unsigned memoryMB = ((header >> 4) & 0xFF) + 1;
  try {
    auto model = std::make_unique<TKrxPPMModel>();
    if (!model->Start(order, memoryMB << 20)) return false;
    out.resize(expectedSize);
    TKrxPPMRangeDecoder coder(src + kHeaderSize, count - kHeaderSize);
    for (size_t i = 0; i < expectedSize; ++i) {
      const int symbol = model->DecodeSymbol(coder);
      if (symbol < 0 || !coder.Ok()) {
        out.clear();
        return false;
      }
      out[i] = static_cast<uint8_t>(symbol);
    }
    if (!coder.Ok()) {
      out.clear();
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    out.clear();
    return false;
  }
}

}  // namespace krx
