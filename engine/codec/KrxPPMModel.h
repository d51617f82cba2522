// The PPM model: contexts of up to MaxOrder preceding symbols, each with the
// symbols seen after it and their frequencies; a symbol is coded in the
// longest context that knows it, escaping to shorter ones (symbols of the
// longer context masked out). Binary contexts (one symbol) use adaptive
// bit probabilities, escapes use secondary estimation (SEE); when memory is
// exhausted the model restarts.
//
// In the sub-allocator's memory:
//     context (12 bytes): u16 stat count, u16 frequency sum, u32 stats,
//                         u32 suffix (the context one symbol shorter)
//     with one stat the state lives at offset 2 in place of sum and stats.
//     state (6 bytes):    u8 symbol, u8 frequency, u32 successor (a context,
//                         or a position in the text not yet a context)
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "KrxPPMRangeCoder.h"
#include "KrxPPMSubAllocator.h"

namespace krx {

class TKrxPPMModel {
 public:
  TKrxPPMModel();

  // Takes memorySize bytes and starts an empty model of maxOrder (2..64).
  bool Start(unsigned maxOrder, uint32_t memorySize);

  // False when the symbol could not be coded (a broken model).
  bool EncodeSymbol(TKrxPPMRangeEncoder& coder, uint8_t symbol);
  // The decoded symbol, or -1 on corrupt input.
  int DecodeSymbol(TKrxPPMRangeDecoder& coder);

 private:
  struct See {
    uint16_t summ;
    uint8_t shift;
    uint8_t count;
  };

  // Field access into the model memory.
  uint8_t* Mem(uint32_t ref) { return allocator_.Base() + ref; }
  uint16_t NumStats(uint32_t ctx) { return Load16(ctx); }
  void SetNumStats(uint32_t ctx, unsigned v) { Store16(ctx, static_cast<uint16_t>(v)); }
  uint16_t SummFreq(uint32_t ctx) { return Load16(ctx + 2); }
  void SetSummFreq(uint32_t ctx, unsigned v) { Store16(ctx + 2, static_cast<uint16_t>(v)); }
  uint32_t Stats(uint32_t ctx) { return Load32(ctx + 4); }
  void SetStats(uint32_t ctx, uint32_t v) { Store32(ctx + 4, v); }
  uint32_t Suffix(uint32_t ctx) { return Load32(ctx + 8); }
  void SetSuffix(uint32_t ctx, uint32_t v) { Store32(ctx + 8, v); }
  static uint32_t OneState(uint32_t ctx) { return ctx + 2; }

  uint8_t& Symbol(uint32_t s) { return Mem(s)[0]; }
  uint8_t& Freq(uint32_t s) { return Mem(s)[1]; }
  uint32_t Successor(uint32_t s) { return Load32(s + 2); }
  void SetSuccessor(uint32_t s, uint32_t v) { Store32(s + 2, v); }
  static constexpr uint32_t kStateSize = 6;
  void CopyState(uint32_t dst, uint32_t src) { std::memmove(Mem(dst), Mem(src), kStateSize); }
  void SwapStates(uint32_t a, uint32_t b);

  uint16_t Load16(uint32_t ref) {
    uint16_t v;
    std::memcpy(&v, Mem(ref), 2);
    return v;
  }
  void Store16(uint32_t ref, uint16_t v) { std::memcpy(Mem(ref), &v, 2); }
  uint32_t Load32(uint32_t ref) {
    uint32_t v;
    std::memcpy(&v, Mem(ref), 4);
    return v;
  }
  void Store32(uint32_t ref, uint32_t v) { std::memcpy(Mem(ref), &v, 4); }

  void RestartModel();
  uint32_t CreateSuccessors(bool skip);
  void UpdateModel();
  void Rescale();
  void NextContext();
  void Update1();
  void Update1First();
  void Update2();
  void UpdateBin();
  uint16_t& BinSumm();
  See& MakeEscFreq(unsigned numMasked, uint32_t& escFreq);
  static void UpdateSee(See& see);

  TKrxPPMSubAllocator allocator_;
  uint32_t minContext_ = 0;
  uint32_t maxContext_ = 0;
  uint32_t foundState_ = 0;
  unsigned orderFall_ = 0;
  unsigned initEsc_ = 0;
  unsigned prevSuccess_ = 0;
  unsigned maxOrder_ = 0;
  unsigned hiBitsFlag_ = 0;
  int32_t runLength_ = 0;
  int32_t initRL_ = 0;

  std::array<uint8_t, 256> ns2Index_{};
  std::array<uint8_t, 256> ns2BSIndex_{};
  std::array<uint8_t, 256> hb2Flag_{};
  See dummySee_{};
  See see_[25][16]{};
  uint16_t binSumm_[128][64]{};
  // Per-symbol mask while escaping: 0xFF = still a candidate.
  std::array<uint8_t, 256> charMask_{};
};

}  // namespace krx
