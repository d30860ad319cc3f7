#pragma once
// XBO_dBaseFld: the fields of an open table and typed access to them in the record image.
// Fields are named by number (1-based) or by name (without regard to case, trailing blanks
// removed, at most 11 characters). Setters change the record image only; WriteRecord or
// AppendRecord stores it.
//
// Binary field types (B, G, I, M, T, Y) exist only in version 0x30 tables; elsewhere B, G and M
// hold a memo block number as decimal text like N.
//
// Typical use (every failure raises EXbaseError):
//   XBO_dBaseFld table("C:\DATA\KVUS.DAT", /*shared*/ true, /*writable*/ true, key);
//   for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
//     table.ReadRecord(n);
//     if (!table.RecordDeleted()) use(table.GetFieldDisplay("NAME"), table.GetMemoText("NOTE"));
//   }
//   table.BlankRecord();
//   table.SetFieldText("NAME", "GUEST");
//   table.SetFieldNumber("LEVEL", 2);
//   table.AppendRecord();               // or WriteRecord(n) to replace record n
//   table.Flush();
//   table.Close();                      // writes the header; the destructor closes too
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/storage/dbf_table.hpp"
#include "tables/storage/record_source.hpp"

namespace tables {

class XBO_dBaseFld : public XBO_dBaseDBF, public XbRecordSource {
 public:
  using XBO_dBaseDBF::XBO_dBaseDBF;

  // Descriptors. By number: nullptr outside 1..FieldCount. By name: error 1003 (subcode 1298)
  // for an unknown name.
  const XbFieldDesc* FieldDescByNumber(int n) const;
  const XbFieldDesc& FieldDescByName(std::string_view name) const;
  int FieldNumberOf(std::string_view name) const { return FieldDescByName(name).number; }

  int FieldCount() const override { return static_cast<int>(fields().size()); }
  // Outside 1..FieldCount: an empty name, 0, or the letter 0.
  std::string FieldName(int n) const override;
  char FieldType(int n) const override;
  int FieldLength(int n) const override;
  int FieldDecimals(int n) const override;
  int FieldOffset(int n) const;

  // The field's raw text at full width. Setting fills the field with blanks and copies the
  // text left-aligned (C, D, L) or right-aligned (every other type), cut to the field length.
  std::string GetFieldText(int n) const;
  std::string GetFieldText(std::string_view name) const;
  void SetFieldText(int n, std::string_view text);
  void SetFieldText(std::string_view name, std::string_view text);

  // The text a field shows: C without trailing blanks, N and F without surrounding blanks (an
  // empty one as 0 at the field's width and decimals), D in the system's date format, L as
  // "T" or "F", memo fields as "---MEMO---" / "---memo---" (and the G and B variants); the
  // other binary fields of version 0x30 as their number.
  std::string GetFieldDisplay(int n);
  std::string GetFieldDisplay(std::string_view name);

  // Numbers: N, F, B, G, M, and in version 0x30 also I, T and Y. By name the field may be of
  // type B, F, G, I, M or N. Error 1004: 1299 for another type, -7 for stored text that is no
  // number; setting a value that does not fit: error 1011, subcode 1261 (field unchanged).
  double GetFieldNumber(int n);
  double GetFieldNumber(std::string_view name);
  void SetFieldNumber(int n, double value);
  void SetFieldNumber(std::string_view name, double value);

  // D fields as Julian day numbers (0: empty). Unreadable text: error 1004, subcode -7;
  // setting -1 or a day outside the years 1 to 9999: error 1004, subcode 1251.
  std::int32_t GetFieldDate(int n);
  std::int32_t GetFieldDate(std::string_view name);
  void SetFieldDate(int n, std::int32_t julian);
  void SetFieldDate(std::string_view name, std::int32_t julian);

  // L fields: true for one of "TtYyJj". From text: empty is false, "TtYyJj" true, "FfNn" false,
  // otherwise a number that is true when not 0 (error 1004, subcode 1262 when it is none).
  bool GetFieldLogical(int n);
  bool GetFieldLogical(std::string_view name);
  void SetFieldLogical(int n, bool value);
  void SetFieldLogical(std::string_view name, bool value);
  void SetFieldLogicalText(int n, std::string_view text);
  void SetFieldLogicalText(std::string_view name, std::string_view text);

  // Memo texts of B, G and M fields (by name: any of the three). A table without a memo file
  // reads every memo as empty and refuses to write one.
  std::uint32_t MemoBlock(int n);
  std::string GetMemoText(int n);
  std::string GetMemoText(std::string_view name);
  // Writes the memo and stores its block number in the field.
  void SetMemoText(int n, std::string_view text);
  void SetMemoText(std::string_view name, std::string_view text);

  // Blanks the record image: spaces, a formatted 0 in N and F fields and 0 in the binary
  // fields of version 0x30; marks every field changed; notifies RecordBlanked.
  void BlankRecord();

  // XbRecordSource.
  std::string_view FieldRawText(int n) const override;
  std::string_view FieldStoredText(int n) const override;
  double FieldNumber(int n) override;
  std::int32_t FieldDate(int n) override { return GetFieldDate(n); }
  bool FieldLogical(int n) override { return GetFieldLogical(n); }
  std::string FieldMemoText(int n) override { return GetMemoText(n); }
  std::int32_t CurrentRecordNumber() const override { return currentRecord(); }
  bool CurrentRecordDeleted() const override { return RecordDeleted(); }
  std::string TableName() const override { return path(); }
  platform::Machine& SourceMachine() const override { return machine(); }

 private:
  // Error 1003 (subcode 1298) outside the table. Inline: every typed read by number asks.
  const XbFieldDesc& Field(int n) const {
    if (n < 1 || n > FieldCount()) NoSuchField(n);
    return fields()[static_cast<std::size_t>(n - 1)];
  }
  [[noreturn]] void NoSuchField(int n) const;
  // The field named, checked against an expected type: 'N' accepts B, F, G, I, M and N,
  // 'G' accepts B, G and M; any other letter only itself.
  const XbFieldDesc& FieldOfType(std::string_view name, char expected) const;
  std::uint8_t* Bytes(const XbFieldDesc& field) { return recordImage() + field.offset; }
  const std::uint8_t* Bytes(const XbFieldDesc& field) const { return recordImage() + field.offset; }
  std::string_view Text(const XbFieldDesc& field) const;
  bool Binary(const XbFieldDesc& field) const;
  bool Numeric(const XbFieldDesc& field) const;
  [[noreturn]] void FieldError(int code, int subcode, const XbFieldDesc& field);
  [[noreturn]] void ConversionError(const char* what, const XbFieldDesc& field);
  [[noreturn]] void TooLarge(const XbFieldDesc& field, double value);
  double ReadNumber(const XbFieldDesc& field);
  double ReadBinaryNumber(const XbFieldDesc& field);
  // Stores value; false when it does not fit the field.
  bool StoreNumber(const XbFieldDesc& field, double value);
  bool StoreBinaryNumber(const XbFieldDesc& field, double value);
  std::string MemoDisplay(const XbFieldDesc& field);
  std::string NumberDisplay(const XbFieldDesc& field);
};

}  // namespace tables
