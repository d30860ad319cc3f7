#pragma once
// Win32 scalar types, error numbers and constants used across the platform interface.
// Names avoid the <windows.h> macros so that the win32 backend can include both.
#include <cstdint>

namespace platform {

using ErrorCode = std::uint32_t;  // a Win32 error number; 0 = success
using KeyHandle = std::uint32_t;  // an open registry key (HKEY)
using WindowHandle = std::uint32_t;
using ProcessId = std::uint32_t;
using ProcessHandle = std::uint32_t;
using FileTime = std::uint64_t;  // 100 ns intervals since 1 January 1601 (UTC)

namespace win_error {
inline constexpr ErrorCode Success = 0;
inline constexpr ErrorCode FileNotFound = 2;
inline constexpr ErrorCode PathNotFound = 3;
inline constexpr ErrorCode TooManyOpenFiles = 4;
inline constexpr ErrorCode AccessDenied = 5;
inline constexpr ErrorCode InvalidHandle = 6;
inline constexpr ErrorCode NotEnoughMemory = 8;
inline constexpr ErrorCode InvalidAccess = 12;
inline constexpr ErrorCode InvalidDrive = 15;
inline constexpr ErrorCode WriteProtect = 19;
inline constexpr ErrorCode NotReady = 21;
inline constexpr ErrorCode SharingViolation = 32;
inline constexpr ErrorCode LockViolation = 33;
inline constexpr ErrorCode HandleEof = 38;
inline constexpr ErrorCode NotSupported = 50;
inline constexpr ErrorCode FileExists = 80;
inline constexpr ErrorCode InvalidParameter = 87;
inline constexpr ErrorCode CallNotImplemented = 120;
inline constexpr ErrorCode DiskFull = 112;
inline constexpr ErrorCode InsufficientBuffer = 122;
inline constexpr ErrorCode InvalidName = 123;
inline constexpr ErrorCode ModNotFound = 126;
inline constexpr ErrorCode ProcNotFound = 127;
inline constexpr ErrorCode DirNotEmpty = 145;
inline constexpr ErrorCode NotLocked = 158;
inline constexpr ErrorCode BadPathname = 161;
inline constexpr ErrorCode AlreadyExists = 183;
inline constexpr ErrorCode MoreData = 234;
inline constexpr ErrorCode WaitTimeout = 258;
inline constexpr ErrorCode NoMoreItems = 259;
inline constexpr ErrorCode NoMoreFiles = 18;
inline constexpr ErrorCode BadKey = 1010;
inline constexpr ErrorCode CantOpenKey = 1011;
inline constexpr ErrorCode KeyDeleted = 1018;
inline constexpr ErrorCode NoAssociation = 1155;  // ShellExecute: no program opens the file
inline constexpr ErrorCode InvalidWindowHandle = 1400;
inline constexpr ErrorCode BadNetPath = 53;
inline constexpr ErrorCode SessionCredentialConflict = 1219;
inline constexpr ErrorCode NotConnected = 2250;
inline constexpr ErrorCode RpcServerUnavailable = 1722;
inline constexpr ErrorCode NotAllAssigned = 1300;
inline constexpr ErrorCode SomeNotMapped = 1301;
inline constexpr ErrorCode NoSuchPrivilege = 1313;
inline constexpr ErrorCode PrivilegeNotHeld = 1314;
inline constexpr ErrorCode NoneMapped = 1332;
inline constexpr ErrorCode InvalidOwner = 1307;
inline constexpr ErrorCode InvalidAcl = 1336;
inline constexpr ErrorCode InvalidSid = 1337;
inline constexpr ErrorCode InvalidSecurityDescriptor = 1338;
inline constexpr ErrorCode NoSecurityOnObject = 1350;
}  // namespace win_error

// Predefined registry roots (HKEY_*).
namespace hkey {
inline constexpr KeyHandle ClassesRoot = 0x80000000u;
inline constexpr KeyHandle CurrentUser = 0x80000001u;
inline constexpr KeyHandle LocalMachine = 0x80000002u;
inline constexpr KeyHandle Users = 0x80000003u;
}  // namespace hkey

// Registry value types (REG_*).
enum class ValueType : std::uint32_t {
  None = 0,
  String = 1,        // REG_SZ
  ExpandString = 2,  // REG_EXPAND_SZ
  Binary = 3,        // REG_BINARY
  Dword = 4,         // REG_DWORD
  MultiString = 7,   // REG_MULTI_SZ
};

// Registry access rights (KEY_*).
namespace key_access {
inline constexpr std::uint32_t QueryValue = 0x0001;
inline constexpr std::uint32_t SetValue = 0x0002;
inline constexpr std::uint32_t CreateSubKey = 0x0004;
inline constexpr std::uint32_t EnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t Read = 0x20019;
inline constexpr std::uint32_t Write = 0x20006;
inline constexpr std::uint32_t ReadWrite = 0x2001F;  // what the installer asks for
inline constexpr std::uint32_t AllAccess = 0xF003F;
}  // namespace key_access

// File access, share and creation (CreateFile).
namespace file_access {
inline constexpr std::uint32_t GenericRead = 0x80000000u;
inline constexpr std::uint32_t GenericWrite = 0x40000000u;
}  // namespace file_access
namespace file_share {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Read = 1;
inline constexpr std::uint32_t Write = 2;
inline constexpr std::uint32_t Delete = 4;
inline constexpr std::uint32_t ReadWrite = Read | Write;
}  // namespace file_share
enum class Disposition : std::uint32_t {
  CreateNew = 1,
  CreateAlways = 2,
  OpenExisting = 3,
  OpenAlways = 4,
  TruncateExisting = 5,
};

// File attributes (FILE_ATTRIBUTE_*).
namespace file_attribute {
inline constexpr std::uint32_t ReadOnly = 0x01;
inline constexpr std::uint32_t Hidden = 0x02;
inline constexpr std::uint32_t System = 0x04;
inline constexpr std::uint32_t Directory = 0x10;
inline constexpr std::uint32_t Archive = 0x20;
inline constexpr std::uint32_t Normal = 0x80;
inline constexpr std::uint32_t Invalid = 0xFFFFFFFFu;
}  // namespace file_attribute

// Process access rights (PROCESS_*).
namespace process_access {
inline constexpr std::uint32_t Terminate = 0x0001;
inline constexpr std::uint32_t VmRead = 0x0010;
inline constexpr std::uint32_t QueryInformation = 0x0400;
inline constexpr std::uint32_t Synchronize = 0x00100000;
inline constexpr std::uint32_t AllAccess = 0x001F0FFF;  // PROCESS_ALL_ACCESS of NT 4 and 2000
}  // namespace process_access

// Window messages used by the installer and the system-information component.
namespace window_message {
inline constexpr std::uint32_t Close = 0x0010;       // WM_CLOSE
inline constexpr std::uint32_t SysCommand = 0x0112;  // WM_SYSCOMMAND
inline constexpr std::uint32_t ScClose = 61536;      // SC_CLOSE (wParam of WM_SYSCOMMAND)
}  // namespace window_message

// Show modes (SW_*).
namespace show_mode {
inline constexpr int Hide = 0;
inline constexpr int ShowNormal = 1;
inline constexpr int ShowMinimized = 2;
inline constexpr int ShowMaximized = 3;
inline constexpr int ShowNoActivate = 4;
inline constexpr int Show = 5;
inline constexpr int Minimize = 6;
inline constexpr int ShowMinNoActive = 7;
inline constexpr int ShowDefault = 10;
}  // namespace show_mode

// Platform ids of the version record (VER_PLATFORM_*).
namespace platform_id {
inline constexpr std::uint32_t Win32s = 0;
inline constexpr std::uint32_t Windows = 1;  // Windows 95, 98, Me
inline constexpr std::uint32_t Nt = 2;       // NT 3.x, 4, 2000
}  // namespace platform_id

}  // namespace platform
