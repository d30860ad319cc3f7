#pragma once
// The 36 built-in functions of the language, one class each, registered in this order (the
// global registry). Each Name is the upper-case name an expression calls it by.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tables/index/exp_registry.hpp"

namespace tables {
class TxbUDFAllTrim : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "ALLTRIM"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFAsc : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "ASC"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFAt : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "AT"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFAtC : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "ATC"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFBetween : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "BETWEEN"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFCeiling : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "CEILING"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFChr : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "CHR"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFCTOD : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "CTOD"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFDate : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "DATE"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFDescend : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "DESCEND"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFDOW : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "DOW"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFDTOC : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "DTOC"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFDTOS : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "DTOS"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFEmpty : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "EMPTY"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFFloor : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "FLOOR"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFIIF : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "IIF"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFInt : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "INT"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFLeft : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "LEFT"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFLen : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "LEN"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFLower : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "LOWER"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFLTrim : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "LTRIM"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFMod : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "MOD"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

// The padding functions: a call's pad character, text and target width are worked out
// here; the three differ only in where the pad characters go.
class TxbUDFPadMain : public TxbUserDefFunction {
 public:
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;

 protected:
  // How many of the missing characters go to the left.
  virtual std::size_t LeftPad(std::size_t missing) const = 0;
};

class TxbUDFPadC : public TxbUDFPadMain {
 public:
  std::string_view Name() const override { return "PADC"; }

 protected:
  std::size_t LeftPad(std::size_t missing) const override { return missing / 2; }
};

class TxbUDFPadL : public TxbUDFPadMain {
 public:
  std::string_view Name() const override { return "PADL"; }

 protected:
  std::size_t LeftPad(std::size_t missing) const override { return missing; }
};

class TxbUDFPadR : public TxbUDFPadMain {
 public:
  std::string_view Name() const override { return "PADR"; }

 protected:
  std::size_t LeftPad(std::size_t) const override { return 0; }
};

class TxbUDFProper : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "PROPER"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFRight : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "RIGHT"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFTrim : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "TRIM"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

// Differs from TRIM only in its name.
class TxbUDFRTrim : public TxbUDFTrim {
 public:
  std::string_view Name() const override { return "RTRIM"; }
};

class TxbUDFSoundex : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "SOUNDEX"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFSpace : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "SPACE"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFStr : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "STR"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

// STR with every leading blank replaced by "0".
class TxbUDFStrZero : public TxbUDFStr {
 public:
  std::string_view Name() const override { return "STRZERO"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFSubStr : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "SUBSTR"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFUpper : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "UPPER"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

class TxbUDFVal : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "VAL"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override;
};

}  // namespace tables
