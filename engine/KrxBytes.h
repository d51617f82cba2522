// Little-endian reading and writing at an offset of a byte buffer. Every
// structure the engine keeps on disk goes through these, never through
// pointer casts into page buffers.
#pragma once

#include <cstdint>
#include <cstring>

namespace krx {

inline void PutU8(uint8_t* p, size_t off, uint8_t v) { p[off] = v; }
inline uint8_t GetU8(const uint8_t* p, size_t off) { return p[off]; }

inline void PutU16(uint8_t* p, size_t off, uint16_t v) {
  p[off] = static_cast<uint8_t>(v);
  p[off + 1] = static_cast<uint8_t>(v >> 8);
}
inline uint16_t GetU16(const uint8_t* p, size_t off) {
  return static_cast<uint16_t>(p[off] | (p[off + 1] << 8));
}

inline void PutU32(uint8_t* p, size_t off, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[off + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t GetU32(const uint8_t* p, size_t off) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p[off + i];
  return v;
}

inline void PutU64(uint8_t* p, size_t off, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[off + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint64_t GetU64(const uint8_t* p, size_t off) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[off + i];
  return v;
}

inline void PutI16(uint8_t* p, size_t off, int16_t v) { PutU16(p, off, static_cast<uint16_t>(v)); }
inline int16_t GetI16(const uint8_t* p, size_t off) { return static_cast<int16_t>(GetU16(p, off)); }
inline void PutI32(uint8_t* p, size_t off, int32_t v) { PutU32(p, off, static_cast<uint32_t>(v)); }
inline int32_t GetI32(const uint8_t* p, size_t off) { return static_cast<int32_t>(GetU32(p, off)); }
inline void PutI64(uint8_t* p, size_t off, int64_t v) { PutU64(p, off, static_cast<uint64_t>(v)); }
inline int64_t GetI64(const uint8_t* p, size_t off) { return static_cast<int64_t>(GetU64(p, off)); }

inline void PutF64(uint8_t* p, size_t off, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutU64(p, off, bits);
}
inline double GetF64(const uint8_t* p, size_t off) {
  uint64_t bits = GetU64(p, off);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}
inline void PutF32(uint8_t* p, size_t off, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutU32(p, off, bits);
}
inline float GetF32(const uint8_t* p, size_t off) {
  uint32_t bits = GetU32(p, off);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

}  // namespace krx
