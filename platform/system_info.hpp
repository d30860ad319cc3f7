#pragma once
// Facts about the machine: version record, processor, locale, screen, names, host lookup.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.hpp"

namespace platform {

struct VersionRecord {  // OSVERSIONINFO
  std::uint32_t platformId = platform_id::Nt;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;  // full build number as GetVersionEx reports it
  std::string servicePack;
};

struct ProcessorFacts {
  bool hasIdentification = true;    // the cpuid instruction exists
  std::uint32_t signature = 0;      // cpuid leaf 1, eax
  std::uint32_t features = 0;       // cpuid leaf 1, edx
  std::string vendor;               // cpuid leaf 0, registers b, d, c
  std::uint32_t processorType = 0;  // SYSTEM_INFO.dwProcessorType, e.g. 586
  std::uint32_t megahertz = 0;      // speed of the time-stamp counter
};

struct ScreenFacts {
  int width = 640, height = 480;
  int bitsPerPixel = 8, planes = 1;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual VersionRecord Version() = 0;
  virtual ProcessorFacts Processor() = 0;
  virtual std::string ShortDateFormat() = 0;           // LOCALE_SSHORTDATE, e.g. "M/d/yy"
  virtual char DecimalSeparator() = 0;                 // LOCALE_SDECIMAL
  virtual std::vector<std::string> Environment() = 0;  // "NAME=value" lines
  virtual int StartupShowMode() = 0;                   // STARTUPINFO.wShowWindow or SW_SHOWDEFAULT
  virtual ScreenFacts Screen() = 0;
  virtual std::string ComputerName() = 0;
  virtual std::string UserName() = 0;
  // gethostname / gethostbyname: false when the lookup fails.
  virtual bool HostName(std::string& name) = 0;
  virtual bool HostAddress(const std::string& name, std::array<std::uint8_t, 4>& address) = 0;
  virtual std::uint32_t AnsiCodePage() = 0;
  virtual std::uint32_t OemCodePage() = 0;
};

}  // namespace platform
