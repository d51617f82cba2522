#include "KrxPPMRangeCoder.h"

namespace krx {

namespace {
constexpr uint32_t kTop = 1u << 24;
constexpr uint32_t kBottom = 1u << 15;
}  // namespace

void TKrxPPMRangeEncoder::Put(uint8_t byte) {
  if (out_.size() >= limit_) {
    ok_ = false;
    return;
  }
  out_.push_back(byte);
}

void TKrxPPMRangeEncoder::Normalize() {
  while ((low_ ^ (low_ + range_)) < kTop || (range_ < kBottom && ((range_ = (0u - low_) & (kBottom - 1)), true))) {
    Put(static_cast<uint8_t>(low_ >> 24));
    low_ <<= 8;
    range_ <<= 8;
  }
}

void TKrxPPMRangeEncoder::Encode(uint32_t low, uint32_t size, uint32_t total) {
  range_ /= total;
  if (range_ == 0) {
    // Cannot happen with the model's totals; refuse rather than emit a
    // stream that would not decode.
    ok_ = false;
    range_ = 1;
  }
  low_ += low * range_;
  range_ *= size;
  Normalize();
}

void TKrxPPMRangeEncoder::EncodeShift(uint32_t low, uint32_t size, unsigned shift) {
  range_ >>= shift;
  low_ += low * range_;
  range_ *= size;
  Normalize();
}

void TKrxPPMRangeEncoder::Flush() {
  for (int i = 0; i < 4; ++i) {
    Put(static_cast<uint8_t>(low_ >> 24));
    low_ <<= 8;
  }
}

TKrxPPMRangeDecoder::TKrxPPMRangeDecoder(const uint8_t* data, size_t count) : data_(data), count_(count) {
  for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | Get();
}

uint8_t TKrxPPMRangeDecoder::Get() {
  if (position_ >= count_) {
    ok_ = false;
    return 0;
  }
  return data_[position_++];
}

void TKrxPPMRangeDecoder::Normalize() {
  while ((low_ ^ (low_ + range_)) < kTop || (range_ < kBottom && ((range_ = (0u - low_) & (kBottom - 1)), true))) {
    code_ = (code_ << 8) | Get();
    low_ <<= 8;
    range_ <<= 8;
  }
}

uint32_t TKrxPPMRangeDecoder::GetThreshold(uint32_t total) {
  range_ /= total;
  if (range_ == 0) {
    ok_ = false;
    range_ = 1;
  }
  return (code_ - low_) / range_;
}

uint32_t TKrxPPMRangeDecoder::GetShiftThreshold(unsigned shift) {
  range_ >>= shift;
  if (range_ == 0) {
    ok_ = false;
    range_ = 1;
  }
  return (code_ - low_) / range_;
}

void TKrxPPMRangeDecoder::Decode(uint32_t low, uint32_t size) {
  low_ += low * range_;
  range_ *= size;
  Normalize();
}

}  // namespace krx
