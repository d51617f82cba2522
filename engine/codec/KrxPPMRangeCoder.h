// The carry-less range coder under the PPM model: a 32-bit low and range;
// whenever the top byte of low is settled (or range has become too small,
// when it is cut to the next 2^15 boundary) that byte is shifted out. The
// encoder's output ends with the 4 bytes of low; the decoder starts by
// reading 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace krx {

class TKrxPPMRangeEncoder {
 public:
  // Writes into out, never past limit bytes in total.
  TKrxPPMRangeEncoder(std::vector<uint8_t>& out, size_t limit) : out_(out), limit_(limit) {}

  // Codes the interval [low, low + size) of total.
  void Encode(uint32_t low, uint32_t size, uint32_t total);
  // Codes [low, low + size) of 2^shift.
  void EncodeShift(uint32_t low, uint32_t size, unsigned shift);
  void Flush();

  // False once the output would have passed its limit or the interval
  // became too fine for the range.
  bool Ok() const { return ok_; }

 private:
  void Put(uint8_t byte);
  void Normalize();

  std::vector<uint8_t>& out_;
  size_t limit_;
  uint32_t low_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
  bool ok_ = true;
};

class TKrxPPMRangeDecoder {
 public:
  TKrxPPMRangeDecoder(const uint8_t* data, size_t count);

  // The count within total that the code points at (may be >= total on
  // corrupt input, which the caller must refuse).
  uint32_t GetThreshold(uint32_t total);
  uint32_t GetShiftThreshold(unsigned shift);
  // Removes [low, low + size) as chosen by the last threshold.
  void Decode(uint32_t low, uint32_t size);

  // False once input ran out or the range could not be divided.
  bool Ok() const { return ok_; }

 private:
  uint8_t Get();
  void Normalize();

  const uint8_t* data_;
  size_t count_;
  size_t position_ = 0;
  uint32_t low_ = 0;
  uint32_t code_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
  bool ok_ = true;
};

}  // namespace krx
