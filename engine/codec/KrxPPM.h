// The "PPM" compression algorithm: prediction by partial matching (variant G
// of the PPMd family) driving a range coder.
//
// A compressed buffer is
//     header : u32 little-endian
//                bits 0-3   model order - 1
//                bits 4-11  model memory in MB - 1
//                bits 12-15 variant tag, always 6
//     body   : the range coder's output, ended by its 4-byte flush
//
// Both routines return a success flag; the caller turns a failure into an
// exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace krx {

// Compresses count bytes at src with the model of mode (1..9; other values
// are clamped into that range) into out (replaced). Fails, rather than write
// more, when the result would pass count + count / 20 + 50 bytes.
bool PPMCompress(const uint8_t* src, size_t count, int mode, std::vector<uint8_t>& out);

// Decompresses count bytes at src into out (replaced), which then holds
// exactly expectedSize bytes. Fails on a header whose variant tag is not 6,
// on truncated or corrupt input, and when the model cannot be built.
bool PPMDecompress(const uint8_t* src, size_t count, size_t expectedSize, std::vector<uint8_t>& out);

}  // namespace krx
