#include "KrxStream.h"

#include <algorithm>
#include <cstring>

#include "KrxException.h"

namespace krx {

namespace {

int64_t Copy(TKrxStream& from, TKrxStream& to, int64_t count, int32_t blockSize) {
  if (count == 0) count = std::max<int64_t>(0, from.GetSize() - from.GetPosition());
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(blockSize, std::max<int64_t>(count, 1))));
  int64_t done = 0;
  while (done < count) {
    int64_t n = std::min<int64_t>(static_cast<int64_t>(buffer.size()), count - done);
    int64_t got = from.Read(buffer.data(), n);
    if (got <= 0) break;
    int64_t put = to.Write(buffer.data(), got);
    done += put;
    if (put < got) break;
  }
  return done;
}

}  // namespace

int64_t TKrxStream::CopyFrom(TKrxStream& source, int64_t count, int32_t blockSize) {
  if (blockSize <= 0) throw EKrxException(KrxError::StreamCopyBlockSizeZeroRead);
  return Copy(source, *this, count, blockSize);
}

int64_t TKrxStream::CopyTo(TKrxStream& target, int64_t count, int32_t blockSize) {
  if (blockSize <= 0) throw EKrxException(KrxError::StreamCopyBlockSizeZeroWrite);
  return Copy(*this, target, count, blockSize);
}

int64_t TKrxMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= GetSize()) return 0;
  int64_t n = std::min(count, GetSize() - position_);
  std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TKrxMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ + count > GetSize()) bytes_.resize(static_cast<size_t>(position_ + count));
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ += count;
  return count;
}

int64_t TKrxMemoryStream::Seek(int64_t offset, TKrxSeekOrigin origin) {
  int64_t base = origin == kKrxSeekBeginning ? 0 : origin == kKrxSeekCurrent ? position_ : GetSize();
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

void TKrxMemoryStream::SetSize(int64_t size) {
  bytes_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
  if (position_ > GetSize()) position_ = GetSize();
}

}  // namespace krx
