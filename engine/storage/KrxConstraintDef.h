// Constraint definitions as kept in a table's metadata file, each preceded
// by its u8 type (0 primary key, 2 unique, 3 not null, 4 check):
//   not null:  string name, i32 object ID, three i32 reference IDs, then the
//              three reference names, each u8 (length + 1) and the
//              length-prefixed string
//   check:     as not null, then the minimum and the maximum (stored values,
//              either may be NULL)
//   unique, primary key:
//              string name, i32 object ID, three i32 reference IDs, the three
//              reference names each i32 (length + 1) and the length-prefixed
//              string, then i32 column count and per column i32 field ID,
//              i32 (length + 1) and the length-prefixed column name
// The references name the constraint's owner, its table and its field.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxVariant.h"

namespace krx {

enum class TKrxConstraintType : uint8_t { PrimaryKey = 0, Foreign = 1, Unique = 2, NotNull = 3, Check = 4 };

struct TKrxConstraintReference {
  std::string name;
  int32_t objectID = -1;
};

struct TKrxConstraintColumn {
  int32_t fieldID = -1;
  std::string name;
};

class TKrxConstraintDef {
 public:
  virtual ~TKrxConstraintDef() = default;
  virtual TKrxConstraintType Type() const = 0;

  std::string name;
  int32_t objectID = -1;
  // 0 owner, 1 table, 2 field.
  std::array<TKrxConstraintReference, 3> references;

  const std::string& TableName() const { return references[1].name; }
  const std::string& FieldName() const { return references[2].name; }

  void Write(std::vector<uint8_t>& out) const;
  // Reads one type byte and the definition ("Unknown Constraint Type: '%d'",
  // "Not implemented yet" for type 1).
  static std::unique_ptr<TKrxConstraintDef> Read(const uint8_t* data, size_t size, size_t& offset);

 protected:
  virtual void WriteBody(std::vector<uint8_t>& out) const = 0;
  virtual void ReadBody(const uint8_t* data, size_t size, size_t& offset) = 0;
};

class TKrxConstraintDefNotNull : public TKrxConstraintDef {
 public:
  TKrxConstraintType Type() const override { return TKrxConstraintType::NotNull; }

 protected:
  void WriteBody(std::vector<uint8_t>& out) const override;
  void ReadBody(const uint8_t* data, size_t size, size_t& offset) override;
};

class TKrxConstraintDefCheck : public TKrxConstraintDefNotNull {
 public:
  TKrxConstraintType Type() const override { return TKrxConstraintType::Check; }
  TKrxVariant minimum;  // NULL: no lower bound
  TKrxVariant maximum;  // NULL: no upper bound

 protected:
  void WriteBody(std::vector<uint8_t>& out) const override;
  void ReadBody(const uint8_t* data, size_t size, size_t& offset) override;
};

class TKrxConstraintDefUnique : public TKrxConstraintDef {
 public:
  TKrxConstraintType Type() const override { return TKrxConstraintType::Unique; }
  std::vector<TKrxConstraintColumn> columns;

 protected:
  void WriteBody(std::vector<uint8_t>& out) const override;
  void ReadBody(const uint8_t* data, size_t size, size_t& offset) override;
};

class TKrxConstraintDefPrimary : public TKrxConstraintDefUnique {
 public:
  TKrxConstraintType Type() const override { return TKrxConstraintType::PrimaryKey; }
};

// The name of an unnamed not-null or check constraint: "$" + "C_NotNull" or
// "C_Check" + "$" + table + "$" + field, with a random 0..65534 appended
// while the name is taken.
std::string KrxConstraintName(TKrxConstraintType type, const std::string& table, const std::string& field,
                              const std::vector<std::string>& takenNames);

}  // namespace krx
