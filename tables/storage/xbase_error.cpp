#include "tables/storage/xbase_error.hpp"

#include <string>

namespace tables {
namespace {

struct Entry {
  int code;
  const char* message;
};

constexpr Entry kMessages[] = {
    {2, "File not found"},
    {3, "Path not found"},
    {4, "Too many open files"},
    {5, "File access denied"},
    {12, "Invalid file access code"},
    {15, "Invalid drive number"},
    {32, "File access denied"},
    {33, "Record locked by another user"},
    {100, "Disk read error"},
    {101, "Disk write error"},
    {102, "File not assigned"},
    {103, "File not open"},
    {104, "File not open for input"},
    {105, "File not open for output"},
    {106, "Invalid numeric format"},
    {150, "Disk is write-protected"},
    {152, "Drive not ready"},
    {162, "Hardware failure"},
    {183, "File already exists"},
    {1001, "dBase DBF file header invalid"},
    {1002, "dBase record request beyond EOF"},
    {1003, "dBase field name is invalid"},
    {1004, "dBase field is of incorrect type"},
    {1005, "dBase memo record has format error"},
    {1006, "Formula expression cannot be translated"},
    {1011, "Number too large to fit in field"},
    {1269, "A Password is included for unencrypted file %s"},
    {1270, "No Password for encrypted file %s"},
    {1271, "Invalid Password for encrypted file s%"},
};

}  // namespace

const char* XbMessageFor(int code) {
  for (const Entry& entry : kMessages) {
    if (entry.code == code) return entry.message;
  }
  return nullptr;
}

std::string XbErrorMessage(int code, int subcode, std::string_view text) {
  if (const char* message = XbMessageFor(code)) {
    return std::string(message) + " - " + std::string(text);
  }
  std::string result = "Xbase Error " + std::to_string(code);
  if (subcode != xb_sub::OwnText) result += ", SubCode " + std::to_string(subcode);
  result += ".\r";
  if (!text.empty()) result += " " + std::string(text) + ">" + std::to_string(subcode);
  return result;
}

void ReportError(int code, int subcode, std::string_view text) {
  if (subcode < 0 && subcode != xb_sub::OwnText) throw platform::ERuntimeError(code);
  throw EXbaseError(XbErrorMessage(code, subcode, text), code, subcode);
}

std::string XbKeyErrorMessage(int code, std::string_view fileName) {
  std::string message = XbMessageFor(code);
  if (auto at = message.find("%s"); at != std::string::npos) {
    message.replace(at, 2, fileName);
  }
  return message;
}

}  // namespace tables
