#include "KrxDatabaseDataRegistry.h"

#include <algorithm>
#include <exception>
#include <filesystem>

#include "KrxException.h"
#include "KrxLocale.h"

namespace krx {

TKrxDatabaseDataRegistry& TKrxDatabaseDataRegistry::Instance() {
  static TKrxDatabaseDataRegistry registry;
  return registry;
}

std::string TKrxDatabaseDataRegistry::FileKey(const std::string& fileName) {
  // File names on this platform are case-sensitive: two names that differ
  // only in case are two files, so the key is the canonical path itself.
  std::error_code ec;
  std::filesystem::path path = std::filesystem::weakly_canonical(std::filesystem::absolute(fileName, ec), ec);
  return ec ? fileName : path.string();
}

TKrxDatabaseDataRegistry::Entry* TKrxDatabaseDataRegistry::Find(const std::string& key,
                                                                const std::string& multiUserSessionName) {
  for (auto& entry : entries_) {
    if (entry->key == key && KrxUpperString(entry->multiUserSessionName) == KrxUpperString(multiUserSessionName)) {
      return entry.get();
    }
  }
  return nullptr;
}

TKrxAttachment TKrxDatabaseDataRegistry::Attach(TKrxAttachRequest& request) {
  std::lock_guard<std::mutex> guard(lock_);
  std::string key = FileKey(request.fileName);
  Entry* entry = Find(key, request.multiUserSessionName);
  if (!request.readOnly) {
    for (const auto& other : entries_) {
      if (other->key != key || other->data->ReadOnly()) continue;
      if (other->data->MultiUser() != request.multiUser) throw EKrxException(KrxError::MixedUserModes);
    }
  }
  int32_t number = 0;
  if (entry == nullptr) {
    auto made = std::make_unique<Entry>();
    made->key = key;
    made->multiUserSessionName = request.multiUserSessionName;
    made->password = request.password;
    made->data = TKrxDiskDatabaseData::Acquire(request.fileName,
                                               request.multiUser ? request.multiUserSessionName : std::string());
    made->repairNeeded = made->data->Open(request.password, request.multiUser, request.exclusive, request.readOnly);
    try {
      number = made->data->ConnectSession();
    } catch (...) {
      made->data->Close();
      throw;
    }
    // The single-user claim may have failed: then the file is read-only.
    request.readOnly = made->data->ReadOnly();
    request.multiUser = made->data->MultiUser();
    entry = made.get();
    entries_.push_back(std::move(made));
  } else {
    // Cipher id 0 is AES, not "no cipher": whether the file has a password
    // is its header's encrypted flag.
    if (entry->data->DiskPageManager().MainHeader().encrypted &&
        entry->password.password != request.password.password) {
      throw EKrxException(KrxError::DatabasePasswordInvalid);
    }
    number = entry->data->ConnectSession();
    request.readOnly = entry->data->ReadOnly();
    request.multiUser = entry->data->MultiUser();
  }
  entry->sessionNumbers.push_back(number);
  return {entry->data, number, entry->repairNeeded};
}

void TKrxDatabaseDataRegistry::Detach(const TKrxAttachment& attachment) {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const auto& entry) { return entry->data == attachment.data; });
  if (it == entries_.end()) return;
  Entry& entry = **it;
  auto number = std::find(entry.sessionNumbers.begin(), entry.sessionNumbers.end(), attachment.sessionNumber);
  if (number == entry.sessionNumbers.end()) return;
  entry.sessionNumbers.erase(number);
  std::exception_ptr failure;
  try {
    entry.data->DisconnectSession(attachment.sessionNumber);
  } catch (const EKrxException&) {
    failure = std::current_exception();
  }
  if (entry.sessionNumbers.empty()) {
    std::shared_ptr<TKrxDiskDatabaseData> data = entry.data;
    entries_.erase(it);
    data->Close();
  }
  if (failure) std::rethrow_exception(failure);
}

size_t TKrxDatabaseDataRegistry::OpenCount() {
  std::lock_guard<std::mutex> guard(lock_);
  return entries_.size();
}

bool TKrxDatabaseDataRegistry::IsOpen(const std::string& fileName) {
  std::lock_guard<std::mutex> guard(lock_);
  std::string key = FileKey(fileName);
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& entry) { return entry->key == key; });
}

}  // namespace krx
