// The engine's CRC-32: the reflected CRC with polynomial 0xEDB88320, but the
// register starts at the caller's value (always 0 in the engine) and the
// result is not complemented. "abc" gives 0xCA6598D0; zero bytes give 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace krx {

uint32_t KrxCRC32(uint32_t initial, const uint8_t* data, size_t count);

}  // namespace krx
