// Buffer compression of the engine. Algorithm codes:
//     0 "NONE"  no compression
//     1 "ZLIB"  zlib stream (RFC 1950), mode = compression level
//     2 "BZIP"  bzip2 stream, mode = block size in 100 000 bytes
//     3 "PPM"   PPMd variant G, mode = model order and memory
// Both routines report success; on failure out is left empty. The callers
// turn a failure into their own engine error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace krx {

enum TKrxCompressionAlgorithm : uint8_t {
  kKrxCompressNone = 0,
  kKrxCompressZlib = 1,
  kKrxCompressBzip = 2,
  kKrxCompressPPM = 3,
};

// Fails for algorithm 0 or unknown, count 0, a coder failure or an empty
// result.
bool KrxCompressBuffer(uint8_t algorithm, uint8_t mode, const uint8_t* src, size_t count,
                       std::vector<uint8_t>& out);
// expectedSize is the uncompressed size (PPM decodes exactly that many).
bool KrxDecompressBuffer(uint8_t algorithm, const uint8_t* src, size_t count, size_t expectedSize,
                         std::vector<uint8_t>& out);

// "NONE", "ZLIB", "BZIP", "PPM"; "" for an unknown code.
const char* KrxCompressionAlgorithmName(uint8_t algorithm);
// The code of a name (any letter case); 0 for an unknown name.
uint8_t KrxCompressionAlgorithmCode(const std::string& name);

// The starting output size of ZLIB and BZIP for count input bytes:
// count + count div 10 + 12 rounded up to a multiple of 256.
size_t KrxCompressionOutputEstimate(size_t count);

}  // namespace krx
