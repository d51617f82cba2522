#include "KrxCompression.h"

#include "KrxPPM.h"

#include <bzlib.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <limits>

namespace krx {

namespace {

constexpr size_t kGrowth = 256;

bool ZlibCompress(int level, const uint8_t* src, size_t count, std::vector<uint8_t>& out) {
  z_stream zs{};
  if (deflateInit(&zs, std::clamp(level, 0, 9)) != Z_OK) return false;
  out.resize(KrxCompressionOutputEstimate(count));
  zs.next_in = const_cast<Bytef*>(src);
  zs.avail_in = static_cast<uInt>(count);
  int rc;
  for (;;) {
    zs.next_out = out.data() + zs.total_out;
    zs.avail_out = static_cast<uInt>(out.size() - zs.total_out);
    rc = deflate(&zs, Z_FINISH);
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) break;
    out.resize(out.size() + kGrowth);  // the coder asks for room
  }
  size_t produced = zs.total_out;
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) return false;
  out.resize(produced);
  return true;
}

bool ZlibDecompress(const uint8_t* src, size_t count, size_t expectedSize, std::vector<uint8_t>& out) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  out.resize(std::max<size_t>(expectedSize, kGrowth));
  zs.next_in = const_cast<Bytef*>(src);
  zs.avail_in = static_cast<uInt>(count);
  int rc;
  for (;;) {
    zs.next_out = out.data() + zs.total_out;
    zs.avail_out = static_cast<uInt>(out.size() - zs.total_out);
    rc = inflate(&zs, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) break;
    if (zs.avail_out != 0) {  // input used up before the stream ended
      rc = Z_DATA_ERROR;
      break;
    }
    out.resize(out.size() + std::max(kGrowth, out.size() / 2));
  }
  size_t produced = zs.total_out;
  inflateEnd(&zs);
  if (rc != Z_STREAM_END) return false;
  out.resize(produced);
  return true;
}

bool BzipCompress(int blockSize100k, const uint8_t* src, size_t count, std::vector<uint8_t>& out) {
  bz_stream bs{};
  if (BZ2_bzCompressInit(&bs, std::clamp(blockSize100k, 1, 9), 0, 0) != BZ_OK) return false;
  out.resize(KrxCompressionOutputEstimate(count));
  bs.next_in = reinterpret_cast<char*>(const_cast<uint8_t*>(src));
  bs.avail_in = static_cast<unsigned>(count);
  size_t produced = 0;
  int rc;
  for (;;) {
    bs.next_out = reinterpret_cast<char*>(out.data() + produced);
    bs.avail_out = static_cast<unsigned>(out.size() - produced);
    unsigned before = bs.avail_out;
    rc = BZ2_bzCompress(&bs, BZ_FINISH);
    produced += before - bs.avail_out;
    if (rc == BZ_STREAM_END) break;
    if (rc != BZ_FINISH_OK) break;
    out.resize(out.size() + kGrowth);
  }
  BZ2_bzCompressEnd(&bs);
  if (rc != BZ_STREAM_END) return false;
  out.resize(produced);
  return true;
}

bool BzipDecompress(const uint8_t* src, size_t count, size_t expectedSize, std::vector<uint8_t>& out) {
  bz_stream bs{};
  if (BZ2_bzDecompressInit(&bs, 0, 0) != BZ_OK) return false;
  out.resize(std::max<size_t>(expectedSize, kGrowth));
  bs.next_in = reinterpret_cast<char*>(const_cast<uint8_t*>(src));
  bs.avail_in = static_cast<unsigned>(count);
  size_t produced = 0;
  int rc;
  for (;;) {
    bs.next_out = reinterpret_cast<char*>(out.data() + produced);
    bs.avail_out = static_cast<unsigned>(out.size() - produced);
    unsigned before = bs.avail_out;
    rc = BZ2_bzDecompress(&bs);
    produced += before - bs.avail_out;
    if (rc == BZ_STREAM_END) break;
    if (rc != BZ_OK) break;
    if (bs.avail_out != 0 && bs.avail_in == 0) {  // truncated input
      rc = BZ_UNEXPECTED_EOF;
      break;
    }
    if (bs.avail_out == 0) out.resize(out.size() + std::max(kGrowth, out.size() / 2));
  }
  BZ2_bzDecompressEnd(&bs);
  if (rc != BZ_STREAM_END) return false;
  out.resize(produced);
  return true;
}

}  // namespace

size_t KrxCompressionOutputEstimate(size_t count) {
  size_t n = count + count / 10 + 12;
  return (n + 255) / 256 * 256;
}

bool KrxCompressBuffer(uint8_t algorithm, uint8_t mode, const uint8_t* src, size_t count,
                       std::vector<uint8_t>& out) {
  out.clear();
  if (count == 0 || src == nullptr || count > std::numeric_limits<uInt>::max()) return false;
  bool ok = false;
  switch (algorithm) {
    case kKrxCompressZlib:
      ok = ZlibCompress(mode, src, count, out);
      break;
    case kKrxCompressBzip:
      ok = BzipCompress(mode, src, count, out);
      break;
    case kKrxCompressPPM:
      ok = PPMCompress(src, count, mode, out);
      break;
    default:  // NONE and unknown codes
      ok = false;
      break;
  }
  if (!ok || out.empty()) {
    out.clear();
    return false;
  }
  return true;
}

bool KrxDecompressBuffer(uint8_t algorithm, const uint8_t* src, size_t count, size_t expectedSize,
                         std::vector<uint8_t>& out) {
  out.clear();
  if (count == 0 || src == nullptr || count > std::numeric_limits<uInt>::max()) return false;
  bool ok = false;
  switch (algorithm) {
    case kKrxCompressZlib:
      ok = ZlibDecompress(src, count, expectedSize, out);
      break;
    case kKrxCompressBzip:
      ok = BzipDecompress(src, count, expectedSize, out);
      break;
    case kKrxCompressPPM:
      ok = PPMDecompress(src, count, expectedSize, out) && out.size() == expectedSize;
      break;
    default:
      ok = false;
      break;
  }
  if (!ok || (out.empty() && expectedSize != 0)) {
    out.clear();
    return false;
  }
  return true;
}

const char* KrxCompressionAlgorithmName(uint8_t algorithm) {
  switch (algorithm) {
    case kKrxCompressNone: return "NONE";
    case kKrxCompressZlib: return "ZLIB";
    case kKrxCompressBzip: return "BZIP";
    case kKrxCompressPPM: return "PPM";
    default: return "";
  }
}

uint8_t KrxCompressionAlgorithmCode(const std::string& name) {
  std::string upper(name);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "ZLIB") return kKrxCompressZlib;
  if (upper == "BZIP") return kKrxCompressBzip;
  if (upper == "PPM") return kKrxCompressPPM;
  return kKrxCompressNone;
}

}  // namespace krx
