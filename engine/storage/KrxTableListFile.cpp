#include "KrxTableListFile.h"

#include <algorithm>
#include <cstring>

#include "KrxBytes.h"
#include "KrxException.h"

namespace krx {

namespace {

std::string Upper(const std::string& text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

TKrxTableListFile::TKrxTableListFile(TKrxPageManager& pageManager)
    : file_(pageManager, static_cast<uint16_t>(TKrxPageType::TableList)) {}

int32_t TKrxTableListFile::Create(int32_t session) {
  int32_t pageNo = file_.Create(session);
  entries_.clear();
  return pageNo;
}

void TKrxTableListFile::Open(int32_t startPageNo) {
  if (file_.IsOpen()) throw EKrxException(KrxError::TableListAlreadyOpened);
  file_.Open(startPageNo);
  entries_.clear();
}

void TKrxTableListFile::Close() {
  file_.Close();
  entries_.clear();
}

void TKrxTableListFile::Load(int32_t session) {
  std::vector<uint8_t> content = file_.ReadAll(session, true);
  entries_.clear();
  for (size_t off = 0; off + kEntrySize <= content.size(); off += kEntrySize) {
    const uint8_t* e = content.data() + off;
    TKrxTableListEntry entry;
    entry.name.assign(reinterpret_cast<const char*>(e + 1), std::min<size_t>(e[0], 255));
    entry.tableID = GetI32(e, 256);
    entry.metaDataPageNo = GetI32(e, 260);
    entry.mostUpdatedPageNo = GetI32(e, 264);
    entry.locksPageNo = GetI32(e, 268);
    entries_.push_back(std::move(entry));
  }
}

void TKrxTableListFile::Save(int32_t session) {
  std::vector<uint8_t> content(entries_.size() * kEntrySize);
  for (size_t i = 0; i < entries_.size(); ++i) {
    uint8_t* e = content.data() + i * kEntrySize;
    const TKrxTableListEntry& entry = entries_[i];
    size_t length = std::min<size_t>(entry.name.size(), 255);
    e[0] = static_cast<uint8_t>(length);
    std::memcpy(e + 1, entry.name.data(), length);
    PutI32(e, 256, entry.tableID);
    PutI32(e, 260, entry.metaDataPageNo);
    PutI32(e, 264, entry.mostUpdatedPageNo);
    PutI32(e, 268, entry.locksPageNo);
  }
  file_.WriteFile(session, content.data(), 0, 0, static_cast<int32_t>(content.size()));
}

int TKrxTableListFile::IndexOf(const std::string& name) const {
  std::string wanted = Upper(name.substr(0, 255));
  for (size_t i = 0; i < entries_.size(); ++i)
    if (Upper(entries_[i].name) == wanted) return static_cast<int>(i);
  return -1;
}

void TKrxTableListFile::Add(int32_t session, const TKrxTableListEntry& entry) {
  if (IndexOf(entry.name) >= 0) throw EKrxException(KrxError::TableListNameExists, entry.name);
  entries_.push_back(entry);
  if (entries_.back().name.size() > 255) entries_.back().name.resize(255);
  try {
    Save(session);
  } catch (...) {
    entries_.pop_back();
    throw;
  }
}

bool TKrxTableListFile::Find(const std::string& name, TKrxTableListEntry& entry) const {
  int i = IndexOf(name);
  if (i < 0) return false;
  entry = entries_[static_cast<size_t>(i)];
  return true;
}

bool TKrxTableListFile::Exists(const std::string& name) const { return IndexOf(name) >= 0; }

void TKrxTableListFile::Delete(int32_t session, const std::string& name) {
  int i = IndexOf(name);
  if (i < 0) throw EKrxException(KrxError::TableListNameMissing, name);
  TKrxTableListEntry removed = entries_[static_cast<size_t>(i)];
  entries_.erase(entries_.begin() + i);
  try {
    Save(session);
  } catch (...) {
    entries_.insert(entries_.begin() + i, removed);
    throw;
  }
}

void TKrxTableListFile::Rename(int32_t session, const std::string& oldName, const std::string& newName) {
  int i = IndexOf(oldName);
  if (i < 0) throw EKrxException(KrxError::TableListNameMissing, oldName);
  int other = IndexOf(newName);
  if (other >= 0 && other != i) throw EKrxException(KrxError::TableListNameExists, newName);
  std::string previous = entries_[static_cast<size_t>(i)].name;
  entries_[static_cast<size_t>(i)].name = newName.substr(0, 255);
  try {
    Save(session);
  } catch (...) {
    entries_[static_cast<size_t>(i)].name = previous;
    throw;
  }
}

std::vector<std::string> TKrxTableListFile::TableNames() const {
  std::vector<std::string> names;
  names.reserve(entries_.size());
  for (const TKrxTableListEntry& e : entries_) names.push_back(e.name);
  return names;
}

}  // namespace krx
