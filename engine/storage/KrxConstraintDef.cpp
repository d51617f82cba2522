#include "KrxConstraintDef.h"

#include <random>

#include "KrxException.h"
#include "KrxFieldDef.h"

namespace krx {
namespace {

void WriteHead(const TKrxConstraintDef& c, std::vector<uint8_t>& out) {
  KrxWriteShortString(out, c.name);
  KrxAppendI32(out, c.objectID);
  for (const auto& r : c.references) KrxAppendI32(out, r.objectID);
}

void ReadHead(TKrxConstraintDef& c, const uint8_t* data, size_t size, size_t& offset) {
  c.name = KrxReadShortString(data, size, offset);
  c.objectID = KrxReadI32(data, size, offset);
  for (auto& r : c.references) r.objectID = KrxReadI32(data, size, offset);
}

size_t NameLength(const std::string& s) { return std::min<size_t>(s.size(), 255); }

}  // namespace

void TKrxConstraintDef::Write(std::vector<uint8_t>& out) const {
  KrxAppendU8(out, static_cast<uint8_t>(Type()));
  WriteBody(out);
}

std::unique_ptr<TKrxConstraintDef> TKrxConstraintDef::Read(const uint8_t* data, size_t size, size_t& offset) {
  int type = KrxReadU8(data, size, offset);
  std::unique_ptr<TKrxConstraintDef> def;
  switch (type) {
    case 0: def = std::make_unique<TKrxConstraintDefPrimary>(); break;
    case 1: throw EKrxException(KrxError::NotImplementedYet);
    case 2: def = std::make_unique<TKrxConstraintDefUnique>(); break;
    case 3: def = std::make_unique<TKrxConstraintDefNotNull>(); break;
    case 4: def = std::make_unique<TKrxConstraintDefCheck>(); break;
    default: throw EKrxException(KrxError::UnknownConstraintType, type);
  }
  def->ReadBody(data, size, offset);
  return def;
}

void TKrxConstraintDefNotNull::WriteBody(std::vector<uint8_t>& out) const {
  WriteHead(*this, out);
  for (const auto& r : references) {
    KrxAppendU8(out, static_cast<uint8_t>(std::min<size_t>(NameLength(r.name) + 1, 255)));
    KrxWriteShortString(out, r.name.substr(0, 254));
  }
}

void TKrxConstraintDefNotNull::ReadBody(const uint8_t* data, size_t size, size_t& offset) {
  ReadHead(*this, data, size, offset);
  for (auto& r : references) {
    KrxReadU8(data, size, offset);
    r.name = KrxReadShortString(data, size, offset);
  }
}

void TKrxConstraintDefCheck::WriteBody(std::vector<uint8_t>& out) const {
  TKrxConstraintDefNotNull::WriteBody(out);
  minimum.AppendStored(out);
  maximum.AppendStored(out);
}

void TKrxConstraintDefCheck::ReadBody(const uint8_t* data, size_t size, size_t& offset) {
  TKrxConstraintDefNotNull::ReadBody(data, size, offset);
  try {
    minimum = TKrxVariant::ReadStored(data, size, offset);
    maximum = TKrxVariant::ReadStored(data, size, offset);
  } catch (const EKrxException&) {
    throw EKrxException(KrxError::InvalidTableHeaderData);
  }
}

void TKrxConstraintDefUnique::WriteBody(std::vector<uint8_t>& out) const {
  WriteHead(*this, out);
  for (const auto& r : references) {
    KrxAppendI32(out, static_cast<int32_t>(NameLength(r.name) + 1));
    KrxWriteShortString(out, r.name);
  }
  KrxAppendI32(out, static_cast<int32_t>(columns.size()));
  for (const auto& c : columns) {
    KrxAppendI32(out, c.fieldID);
    KrxAppendI32(out, static_cast<int32_t>(NameLength(c.name) + 1));
    KrxWriteShortString(out, c.name);
  }
}

void TKrxConstraintDefUnique::ReadBody(const uint8_t* data, size_t size, size_t& offset) {
  ReadHead(*this, data, size, offset);
  for (auto& r : references) {
    KrxReadI32(data, size, offset);
    r.name = KrxReadShortString(data, size, offset);
  }
  int32_t count = KrxReadI32(data, size, offset);
  if (count < 0 || count > 1024) throw EKrxException(KrxError::InvalidTableHeaderData);
  columns.clear();
  for (int32_t i = 0; i < count; ++i) {
    TKrxConstraintColumn c;
    c.fieldID = KrxReadI32(data, size, offset);
    KrxReadI32(data, size, offset);
    c.name = KrxReadShortString(data, size, offset);
    columns.push_back(std::move(c));
  }
}

std::string KrxConstraintName(TKrxConstraintType type, const std::string& table, const std::string& field,
                              const std::vector<std::string>& takenNames) {
  const std::string base =
      std::string("$") + (type == TKrxConstraintType::Check ? "C_Check" : "C_NotNull") + "$" + table + "$" + field;
  auto taken = [&](const std::string& n) {
    for (const std::string& t : takenNames)
      if (KrxSameName(t, n)) return true;
    return false;
  };
  std::string name = base;
  static thread_local std::mt19937 rng(std::random_device{}());
  while (taken(name)) name = base + std::to_string(rng() % 65535);
  return name;
}

}  // namespace krx
