#include "KrxPPMModel.h"

#include <algorithm>

namespace krx {

namespace {

constexpr unsigned kMaxOrder = 64;
constexpr unsigned kMaxFreq = 124;
constexpr unsigned kIntBits = 7;
constexpr unsigned kPeriodBits = 7;
constexpr unsigned kTotalBits = kIntBits + kPeriodBits;
constexpr unsigned kInterval = 1u << kIntBits;
constexpr unsigned kBinScale = 1u << kTotalBits;

constexpr uint16_t kInitBinEsc[8] = {0x3CDD, 0x1F3F, 0x59BF, 0x48F3, 0x64A1, 0x5ABC, 0x6632, 0x6051};
constexpr uint8_t kExpEscape[16] = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};

constexpr unsigned GetMean(unsigned prob) { return (prob + (1u << (kPeriodBits - 2))) >> kPeriodBits; }

}  // namespace

TKrxPPMModel::TKrxPPMModel() {
  ns2BSIndex_[0] = 0 << 1;
  ns2BSIndex_[1] = 1 << 1;
  std::fill(ns2BSIndex_.begin() + 2, ns2BSIndex_.begin() + 11, 2 << 1);
  std::fill(ns2BSIndex_.begin() + 11, ns2BSIndex_.end(), 3 << 1);

  unsigned i = 0;
  for (; i < 3; ++i) ns2Index_[i] = static_cast<uint8_t>(i);
  for (unsigned m = i, k = 1; i < 256; ++i) {
    ns2Index_[i] = static_cast<uint8_t>(m);
    if (--k == 0) k = (++m) - 2;
  }

  std::fill(hb2Flag_.begin(), hb2Flag_.begin() + 0x40, 0);
  std::fill(hb2Flag_.begin() + 0x40, hb2Flag_.end(), 8);
}

bool TKrxPPMModel::Start(unsigned maxOrder, uint32_t memorySize) {
  if (maxOrder < 2 || maxOrder > kMaxOrder) return false;
  if (!allocator_.Start(memorySize)) return false;
  maxOrder_ = maxOrder;
  RestartModel();
  dummySee_.shift = kPeriodBits;
  dummySee_.summ = 0;
  dummySee_.count = 64;
  return true;
}

void TKrxPPMModel::SwapStates(uint32_t a, uint32_t b) {
  uint8_t tmp[kStateSize];
  std::memcpy(tmp, Mem(a), kStateSize);
  std::memmove(Mem(a), Mem(b), kStateSize);
  std::memcpy(Mem(b), tmp, kStateSize);
}

void TKrxPPMModel::RestartModel() {
  allocator_.Restart();
  orderFall_ = maxOrder_;
  runLength_ = initRL_ = -static_cast<int32_t>(std::min(maxOrder_, 12u)) - 1;
  prevSuccess_ = 0;

  // The order-0 context knows every symbol once.
  minContext_ = maxContext_ = allocator_.AllocContext();
  SetSuffix(minContext_, 0);
  SetNumStats(minContext_, 256);
  SetSummFreq(minContext_, 256 + 1);
  foundState_ = allocator_.AllocUnits(allocator_.UnitsToIndex(256 / 2));
  SetStats(minContext_, foundState_);
  for (unsigned i = 0; i < 256; ++i) {
    uint32_t s = foundState_ + i * kStateSize;
    Symbol(s) = static_cast<uint8_t>(i);
    Freq(s) = 1;
    SetSuccessor(s, 0);
  }

  for (unsigned i = 0; i < 128; ++i) {
    for (unsigned k = 0; k < 8; ++k) {
      const uint16_t value = static_cast<uint16_t>(kBinScale - kInitBinEsc[k] / (i + 2));
      for (unsigned m = 0; m < 64; m += 8) binSumm_[i][k + m] = value;
    }
  }
  for (unsigned i = 0; i < 25; ++i) {
    for (unsigned k = 0; k < 16; ++k) {
      See& see = see_[i][k];
      see.shift = kPeriodBits - 4;
      see.summ = static_cast<uint16_t>((5 * i + 10) << see.shift);
      see.count = 4;
    }
  }
}

uint32_t TKrxPPMModel::CreateSuccessors(bool skip) {
  uint32_t c = minContext_;
  const uint32_t upBranch = Successor(foundState_);
  const uint8_t foundSymbol = Symbol(foundState_);
  uint32_t ps[kMaxOrder + 1];  // the found state and one per shorter context
  unsigned numPs = 0;
  if (!skip) ps[numPs++] = foundState_;

  while (Suffix(c) != 0) {
    c = Suffix(c);
    uint32_t s;
    if (NumStats(c) != 1) {
      for (s = Stats(c); Symbol(s) != foundSymbol; s += kStateSize) {
      }
    } else {
      s = OneState(c);
    }
    const uint32_t successor = Successor(s);
    if (successor != upBranch) {
      c = successor;
      if (numPs == 0) return c;
      break;
    }
    ps[numPs++] = s;
  }
  if (numPs == 0) return c;

  // The new contexts' one state: the symbol that followed in the text, with
  // a frequency estimated from the parent context.
  uint8_t upSymbol = Mem(upBranch)[0];
  uint32_t upSuccessor = upBranch + 1;
  uint8_t upFreq;
  if (NumStats(c) == 1) {
    upFreq = Freq(OneState(c));
  } else {
    uint32_t s;
    for (s = Stats(c); Symbol(s) != upSymbol; s += kStateSize) {
    }
    const uint32_t cf = Freq(s) - 1u;
    uint32_t s0 = SummFreq(c) - NumStats(c) - cf;
    // A frequency sum with no room for escapes would divide by zero.
    if (s0 == 0) s0 = 1;
    upFreq = static_cast<uint8_t>(1 + ((2 * cf <= s0) ? (5 * cf > s0) : ((2 * cf + 3 * s0 - 1) / (2 * s0))));
  }

  do {
    const uint32_t c1 = allocator_.AllocContext();
    if (c1 == 0) return 0;
    SetNumStats(c1, 1);
    const uint32_t one = OneState(c1);
    Symbol(one) = upSymbol;
    Freq(one) = upFreq;
    SetSuccessor(one, upSuccessor);
    SetSuffix(c1, c);
    SetSuccessor(ps[--numPs], c1);
    c = c1;
  } while (numPs != 0);
  return c;
}

void TKrxPPMModel::UpdateModel() {
  const uint8_t fSymbol = Symbol(foundState_);
  const unsigned fFreq = Freq(foundState_);
  uint32_t fSuccessor = Successor(foundState_);

  // Credit the symbol in the next shorter context too.
  if (fFreq < kMaxFreq / 4 && Suffix(minContext_) != 0) {
    const uint32_t c = Suffix(minContext_);
    if (NumStats(c) == 1) {
      const uint32_t s = OneState(c);
      if (Freq(s) < 32) ++Freq(s);
    } else {
      uint32_t s = Stats(c);
      if (Symbol(s) != fSymbol) {
        do {
          s += kStateSize;
        } while (Symbol(s) != fSymbol);
        if (Freq(s) >= Freq(s - kStateSize)) {
          SwapStates(s, s - kStateSize);
          s -= kStateSize;
        }
      }
      if (Freq(s) < kMaxFreq - 9) {
        Freq(s) += 2;
        SetSummFreq(c, SummFreq(c) + 2);
      }
    }
  }

  if (orderFall_ == 0) {
    minContext_ = maxContext_ = CreateSuccessors(true);
    if (minContext_ == 0) {
      RestartModel();
      return;
    }
    SetSuccessor(foundState_, minContext_);
    return;
  }

  allocator_.PutText(fSymbol);
  uint32_t successor = allocator_.Text();
  if (allocator_.Text() >= allocator_.UnitsStart()) {
    RestartModel();
    return;
  }

  if (fSuccessor != 0) {
    if (fSuccessor <= successor) {
      // Still a position in the text: make it a real context.
      const uint32_t cs = CreateSuccessors(false);
      if (cs == 0) {
        RestartModel();
        return;
      }
      fSuccessor = cs;
    }
    if (--orderFall_ == 0) {
      successor = fSuccessor;
      if (maxContext_ != minContext_) allocator_.UnputText();
    }
  } else {
    SetSuccessor(foundState_, successor);
    fSuccessor = minContext_;
  }

  const unsigned ns = NumStats(minContext_);
  const uint32_t s0 = SummFreq(minContext_) - ns - (fFreq - 1);

  // Add the symbol to every longer context that did not know it.
  for (uint32_t c = maxContext_; c != minContext_; c = Suffix(c)) {
    const unsigned ns1 = NumStats(c);
    if (ns1 != 1) {
      if ((ns1 & 1) == 0) {
        const uint32_t stats = allocator_.ExpandUnits(Stats(c), ns1 >> 1);
        if (stats == 0) {
          RestartModel();
          return;
        }
        SetStats(c, stats);
      }
      unsigned summ = SummFreq(c);
      summ += (2 * ns1 < ns) + 2 * ((4 * ns1 <= ns) & (summ <= 8 * ns1));
      SetSummFreq(c, summ);
    } else {
      const uint32_t s = allocator_.AllocUnits(0);
      if (s == 0) {
        RestartModel();
        return;
      }
      CopyState(s, OneState(c));
      SetStats(c, s);
      if (Freq(s) < kMaxFreq / 4 - 1) {
        Freq(s) = static_cast<uint8_t>(Freq(s) << 1);
      } else {
        Freq(s) = kMaxFreq - 4;
      }
      SetSummFreq(c, Freq(s) + initEsc_ + (ns > 3));
    }
    uint32_t cf = 2 * fFreq * (SummFreq(c) + 6u);
    const uint32_t sf = s0 + SummFreq(c);
    if (cf < 6 * sf) {
      cf = 1 + (cf > sf) + (cf >= 4 * sf);
      SetSummFreq(c, SummFreq(c) + 3);
    } else {
      cf = 4 + (cf >= 9 * sf) + (cf >= 12 * sf) + (cf >= 15 * sf);
      SetSummFreq(c, SummFreq(c) + cf);
    }
    const uint32_t s = Stats(c) + ns1 * kStateSize;
    SetSuccessor(s, successor);
    Symbol(s) = fSymbol;
    Freq(s) = static_cast<uint8_t>(cf);
    SetNumStats(c, ns1 + 1);
  }
  maxContext_ = minContext_ = fSuccessor;
}

void TKrxPPMModel::Rescale() {
  const uint32_t stats = Stats(minContext_);
  uint32_t s = foundState_;
  // The found state moves to the front.
  if (s != stats) {
    uint8_t tmp[kStateSize];
    std::memcpy(tmp, Mem(s), kStateSize);
    for (; s != stats; s -= kStateSize) CopyState(s, s - kStateSize);
    std::memcpy(Mem(s), tmp, kStateSize);
  }
  unsigned escFreq = SummFreq(minContext_) - Freq(s);
  Freq(s) = static_cast<uint8_t>(Freq(s) + 4);
  const unsigned adder = orderFall_ != 0;
  Freq(s) = static_cast<uint8_t>((Freq(s) + adder) >> 1);
  unsigned sumFreq = Freq(s);

  unsigned i = NumStats(minContext_) - 1;
  do {
    s += kStateSize;
    escFreq -= Freq(s);
    Freq(s) = static_cast<uint8_t>((Freq(s) + adder) >> 1);
    sumFreq += Freq(s);
    if (Freq(s) > Freq(s - kStateSize)) {
      // Keep the list sorted by falling frequency.
      uint8_t tmp[kStateSize];
      std::memcpy(tmp, Mem(s), kStateSize);
      uint32_t s1 = s;
      do {
        CopyState(s1, s1 - kStateSize);
        s1 -= kStateSize;
      } while (s1 != stats && tmp[1] > Freq(s1 - kStateSize));
      std::memcpy(Mem(s1), tmp, kStateSize);
    }
  } while (--i);

  if (Freq(s) == 0) {
    const unsigned numStats = NumStats(minContext_);
    i = 0;
    do {
      ++i;
      s -= kStateSize;
    } while (Freq(s) == 0);
    escFreq += i;
    SetNumStats(minContext_, numStats - i);
    if (NumStats(minContext_) == 1) {
      uint8_t tmp[kStateSize];
      std::memcpy(tmp, Mem(stats), kStateSize);
      do {
        tmp[1] = static_cast<uint8_t>(tmp[1] - (tmp[1] >> 1));
        escFreq >>= 1;
      } while (escFreq > 1);
      allocator_.FreeUnits(stats, (numStats + 1) >> 1);
      foundState_ = OneState(minContext_);
      std::memcpy(Mem(foundState_), tmp, kStateSize);
      return;
    }
    const unsigned n0 = (numStats + 1) >> 1;
    const unsigned n1 = (NumStats(minContext_) + 1u) >> 1;
    if (n0 != n1) SetStats(minContext_, allocator_.ShrinkUnits(stats, n0, n1));
  }
  SetSummFreq(minContext_, sumFreq + escFreq - (escFreq >> 1));
  foundState_ = Stats(minContext_);
}

void TKrxPPMModel::NextContext() {
  const uint32_t c = Successor(foundState_);
  if (orderFall_ == 0 && c > allocator_.Text()) {
    minContext_ = maxContext_ = c;
  } else {
    UpdateModel();
  }
}

void TKrxPPMModel::Update1() {
  uint32_t s = foundState_;
  Freq(s) = static_cast<uint8_t>(Freq(s) + 4);
  SetSummFreq(minContext_, SummFreq(minContext_) + 4);
  if (Freq(s) > Freq(s - kStateSize)) {
    SwapStates(s, s - kStateSize);
    foundState_ = s -= kStateSize;
    if (Freq(s) > kMaxFreq) Rescale();
  }
  NextContext();
}

void TKrxPPMModel::Update1First() {
  prevSuccess_ = 2u * Freq(foundState_) > SummFreq(minContext_);
  runLength_ += static_cast<int32_t>(prevSuccess_);
  SetSummFreq(minContext_, SummFreq(minContext_) + 4);
  Freq(foundState_) = static_cast<uint8_t>(Freq(foundState_) + 4);
  if (Freq(foundState_) > kMaxFreq) Rescale();
  NextContext();
}

void TKrxPPMModel::UpdateBin() {
  if (Freq(foundState_) < 128) ++Freq(foundState_);
  prevSuccess_ = 1;
  ++runLength_;
  NextContext();
}

void TKrxPPMModel::Update2() {
  Freq(foundState_) = static_cast<uint8_t>(Freq(foundState_) + 4);
  SetSummFreq(minContext_, SummFreq(minContext_) + 4);
  if (Freq(foundState_) > kMaxFreq) Rescale();
  runLength_ = initRL_;
  UpdateModel();
}

uint16_t& TKrxPPMModel::BinSumm() {
  const uint32_t one = OneState(minContext_);
  hiBitsFlag_ = hb2Flag_[Symbol(foundState_)];
  const unsigned column = prevSuccess_ + ns2BSIndex_[NumStats(Suffix(minContext_)) - 1u] + hiBitsFlag_ +
                          2u * hb2Flag_[Symbol(one)] + ((static_cast<uint32_t>(runLength_) >> 26) & 0x20);
  return binSumm_[Freq(one) - 1u][column];
}

TKrxPPMModel::See& TKrxPPMModel::MakeEscFreq(unsigned numMasked, uint32_t& escFreq) {
  const unsigned numStats = NumStats(minContext_);
  if (numStats == 256) {
    escFreq = 1;
    return dummySee_;
  }
  const unsigned nonMasked = numStats - numMasked;
  See& see = see_[ns2Index_[nonMasked - 1]]
                 [(nonMasked < static_cast<unsigned>(NumStats(Suffix(minContext_))) - numStats) +
                  2u * (SummFreq(minContext_) < 11u * numStats) + 4u * (numMasked > nonMasked) + hiBitsFlag_];
  const unsigned r = see.summ >> see.shift;
  see.summ = static_cast<uint16_t>(see.summ - r);
  escFreq = r + (r == 0);
  return see;
}

void TKrxPPMModel::UpdateSee(See& see) {
  if (see.shift < kPeriodBits && --see.count == 0) {
    see.summ = static_cast<uint16_t>(see.summ << 1);
    see.count = static_cast<uint8_t>(3 << see.shift++);
  }
}

bool TKrxPPMModel::EncodeSymbol(TKrxPPMRangeEncoder& coder, uint8_t symbol) {
  if (NumStats(minContext_) != 1) {
    uint32_t s = Stats(minContext_);
    const unsigned summFreq = SummFreq(minContext_);
    if (Symbol(s) == symbol) {
      coder.Encode(0, Freq(s), summFreq);
      foundState_ = s;
      Update1First();
      return true;
    }
    prevSuccess_ = 0;
    uint32_t sum = Freq(s);
    unsigned i = NumStats(minContext_) - 1;
    do {
      s += kStateSize;
      if (Symbol(s) == symbol) {
        coder.Encode(sum, Freq(s), summFreq);
        foundState_ = s;
        Update1();
        return true;
      }
      sum += Freq(s);
    } while (--i);

    hiBitsFlag_ = hb2Flag_[Symbol(foundState_)];
    charMask_.fill(0xFF);
    charMask_[Symbol(s)] = 0;
    i = NumStats(minContext_) - 1;
    do {
      s -= kStateSize;
      charMask_[Symbol(s)] = 0;
    } while (--i);
    coder.Encode(sum, summFreq - sum, summFreq);
  } else {
    uint16_t& prob = BinSumm();
    const uint32_t s = OneState(minContext_);
    if (Symbol(s) == symbol) {
      coder.EncodeShift(0, prob, kTotalBits);
      prob = static_cast<uint16_t>(prob + kInterval - GetMean(prob));
      foundState_ = s;
      UpdateBin();
      return true;
    }
    coder.EncodeShift(prob, kBinScale - prob, kTotalBits);
    prob = static_cast<uint16_t>(prob - GetMean(prob));
    initEsc_ = kExpEscape[prob >> 10];
    charMask_.fill(0xFF);
    charMask_[Symbol(s)] = 0;
    prevSuccess_ = 0;
  }

  for (;;) {
    const unsigned numMasked = NumStats(minContext_);
    do {
      ++orderFall_;
      // Every symbol is in the order-0 context, so this cannot run out.
      if (Suffix(minContext_) == 0) return false;
      minContext_ = Suffix(minContext_);
    } while (NumStats(minContext_) == numMasked);

    uint32_t escFreq;
    See& see = MakeEscFreq(numMasked, escFreq);
    uint32_t s = Stats(minContext_);
    uint32_t sum = 0;
    unsigned i = NumStats(minContext_);
    do {
      const uint8_t cur = Symbol(s);
      if (cur == symbol) {
        const uint32_t low = sum;
        const uint32_t found = s;
        do {
          if (charMask_[Symbol(s)]) sum += Freq(s);
          s += kStateSize;
        } while (--i);
        coder.Encode(low, Freq(found), sum + escFreq);
        UpdateSee(see);
        foundState_ = found;
        Update2();
        return true;
      }
      if (charMask_[cur]) sum += Freq(s);
      charMask_[cur] = 0;
      s += kStateSize;
    } while (--i);

    coder.Encode(sum, escFreq, sum + escFreq);
    see.summ = static_cast<uint16_t>(see.summ + sum + escFreq);
  }
}

int TKrxPPMModel::DecodeSymbol(TKrxPPMRangeDecoder& coder) {
  if (NumStats(minContext_) != 1) {
    uint32_t s = Stats(minContext_);
    const unsigned summFreq = SummFreq(minContext_);
    const uint32_t count = coder.GetThreshold(summFreq);
    uint32_t hiCnt = Freq(s);
    if (count < hiCnt) {
      coder.Decode(0, Freq(s));
      foundState_ = s;
      const uint8_t symbol = Symbol(s);
      Update1First();
      return symbol;
    }
    prevSuccess_ = 0;
    unsigned i = NumStats(minContext_) - 1;
    do {
      s += kStateSize;
      if ((hiCnt += Freq(s)) > count) {
        coder.Decode(hiCnt - Freq(s), Freq(s));
        foundState_ = s;
        const uint8_t symbol = Symbol(s);
        Update1();
        return symbol;
      }
    } while (--i);
    if (count >= summFreq) return -1;
    hiBitsFlag_ = hb2Flag_[Symbol(foundState_)];
    coder.Decode(hiCnt, summFreq - hiCnt);
    charMask_.fill(0xFF);
    charMask_[Symbol(s)] = 0;
    i = NumStats(minContext_) - 1;
    do {
      s -= kStateSize;
      charMask_[Symbol(s)] = 0;
    } while (--i);
  } else {
    uint16_t& prob = BinSumm();
    if (coder.GetShiftThreshold(kTotalBits) < prob) {
      coder.Decode(0, prob);
      prob = static_cast<uint16_t>(prob + kInterval - GetMean(prob));
      foundState_ = OneState(minContext_);
      const uint8_t symbol = Symbol(foundState_);
      UpdateBin();
      return symbol;
    }
    coder.Decode(prob, kBinScale - prob);
    prob = static_cast<uint16_t>(prob - GetMean(prob));
    initEsc_ = kExpEscape[prob >> 10];
    charMask_.fill(0xFF);
    charMask_[Symbol(OneState(minContext_))] = 0;
    prevSuccess_ = 0;
  }

  uint32_t ps[256];
  for (;;) {
    const unsigned numMasked = NumStats(minContext_);
    do {
      ++orderFall_;
      if (Suffix(minContext_) == 0) return -1;
      minContext_ = Suffix(minContext_);
    } while (NumStats(minContext_) == numMasked);

    uint32_t hiCnt = 0;
    uint32_t s = Stats(minContext_);
    unsigned i = 0;
    const unsigned num = NumStats(minContext_) - numMasked;
    // A corrupt model could hold fewer unmasked symbols than counted.
    for (unsigned seen = 0; i != num; ++seen, s += kStateSize) {
      if (seen >= NumStats(minContext_)) return -1;
      if (charMask_[Symbol(s)]) {
        hiCnt += Freq(s);
        ps[i++] = s;
      }
    }

    uint32_t freqSum;
    See& see = MakeEscFreq(numMasked, freqSum);
    freqSum += hiCnt;
    const uint32_t count = coder.GetThreshold(freqSum);
    if (count < hiCnt) {
      unsigned k = 0;
      hiCnt = 0;
      while ((hiCnt += Freq(ps[k])) <= count) ++k;
      s = ps[k];
      coder.Decode(hiCnt - Freq(s), Freq(s));
      UpdateSee(see);
      foundState_ = s;
      const uint8_t symbol = Symbol(s);
      Update2();
      return symbol;
    }
    if (count >= freqSum) return -1;
    coder.Decode(hiCnt, freqSum - hiCnt);
    see.summ = static_cast<uint16_t>(see.summ + freqSum);
    do {
      charMask_[Symbol(ps[--i])] = 0;
    } while (i != 0);
  }
}

}  // namespace krx
