#include "KrxSystemDirectory.h"

#include "KrxBytes.h"
#include "KrxException.h"

namespace krx {

TKrxSystemDirectory::TKrxSystemDirectory(TKrxPageManager& pageManager)
    : file_(pageManager, static_cast<uint16_t>(TKrxPageType::FileSystemDirectory)) {}

void TKrxSystemDirectory::Create(int32_t session) {
  int32_t pageNo = file_.Create(session);
  if (pageNo != kStartPageNo) throw EKrxException(KrxError::SystemDirectoryMisplaced, kStartPageNo, pageNo);
  entries_.clear();
}

void TKrxSystemDirectory::Load(int32_t session) {
  if (!file_.IsOpen()) file_.Open(kStartPageNo);
  std::vector<uint8_t> content = file_.ReadAll(session);
  entries_.clear();
  for (size_t off = 0; off + kEntrySize <= content.size(); off += kEntrySize)
    entries_.push_back({GetU8(content.data(), off), GetI32(content.data(), off + 1)});
}

void TKrxSystemDirectory::Save(int32_t session) {
  std::vector<uint8_t> content(entries_.size() * kEntrySize);
  for (size_t i = 0; i < entries_.size(); ++i) {
    PutU8(content.data(), i * kEntrySize, entries_[i].kind);
    PutI32(content.data(), i * kEntrySize + 1, entries_[i].startPageNo);
  }
  file_.WriteFile(session, content.data(), 0, 0, static_cast<int32_t>(content.size()));
}

void TKrxSystemDirectory::AddEntry(uint8_t kind, int32_t startPageNo) { entries_.push_back({kind, startPageNo}); }

int32_t TKrxSystemDirectory::Find(uint8_t kind) const {
  for (const Entry& e : entries_)
    if (e.kind == kind) return e.startPageNo;
  return kKrxNoPage;
}

}  // namespace krx
