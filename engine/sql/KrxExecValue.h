// Storing a statement's value into a column: NULL clears the field; a text
// given for a number, date or time column is read with the connection's
// rules (decimal separator, the short date format's order of year, month
// and day); everything else converts by the type rules of the variant.
// BLOB columns (only of stored tables) take their value through the table's
// BLOB call.
#pragma once

#include <string>
#include <string_view>

#include "KrxVariant.h"

namespace krx {

class TKrxTableData;
struct TKrxCursor;
struct TKrxValueFormat;

void KrxStoreColumnValue(TKrxTableData& table, TKrxCursor& cursor, int fieldNo, const TKrxVariant& value,
                         const TKrxValueFormat& format);

// The bytes a BLOB column of storage type `blobType` holds for a value:
// binary values (BLOB, bytes) as they are in any BLOB column, text as the
// column's own text (national code page for a memo, UTF-16LE for a wide
// memo); empty for NULL.
std::string KrxBlobBytesOf(const TKrxVariant& value, TKrxStorageType blobType);

// Reads a date with an optional time ("hh:nn[:ss[.zzz]]") in the order the
// short date format gives; false when the text is no such date.
bool KrxParseLocalDate(std::string_view text, std::string_view shortDateFormat, TKrxTimeStamp& ts, bool& hasTime);

}  // namespace krx
