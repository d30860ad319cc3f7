#include "platform/system_messages.hpp"

#include <algorithm>
#include <array>
#include <utility>

namespace platform {
namespace {

using Text = std::pair<ErrorCode, const char*>;

constexpr std::array<Text, 36> kSystemTexts = {{
    {0, "The operation completed successfully."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough storage is available to process this command."},
    {21, "The device is not ready."},
    {32, "The process cannot access the file because it is being used by another process."},
    {50, "The network request is not supported."},
    {53, "The network path was not found."},
    {87, "The parameter is incorrect."},
    {120, "This function is not supported on this system."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {161, "The specified path is invalid."},
    {258, "The wait operation timed out."},
    {1010, "The configuration registry key is invalid."},
    {1011, "The configuration registry key could not be opened."},
    {1018, "Illegal operation attempted on a registry key which has been marked for deletion."},
    {1219, "The credentials supplied conflict with an existing set of credentials."},
    {1300, "Not all privileges referenced are assigned to the caller."},
    {1301, "Some mapping between account names and security IDs was not done."},
    {1305, "The revision level is unknown."},
    {1307, "This security ID may not be assigned as the owner of this object."},
    {1313, "A specified privilege does not exist."},
    {1314, "A required privilege is not held by the client."},
    {1332, "No mapping between account names and security IDs was done."},
    {1336, "The access control list (ACL) structure is invalid."},
    {1337, "The security ID structure is invalid."},
    {1338, "The security descriptor structure is invalid."},
    {1344, "No more memory is available for security information updates."},
    {1350, "Unable to perform a security operation on an object which has no associated security."},
    {1400, "Invalid window handle."},
    {1722, "The RPC server is unavailable."},
}};

constexpr std::array<Text, 9> kNetworkTexts = {{
    {2102, "The workstation driver is not installed."},
    {2106, "This operation is supported only on the primary domain controller of the domain."},
    {2114, "The Server service is not started."},
    {2138, "The Workstation service has not been started."},
    {2141, "The server is not configured for transactions."},
    {2202, "The specified username is invalid."},
    {2221, "The user name could not be found."},
    {2250, "This network connection does not exist."},
    {2453, "Could not find domain controller for this domain."},
}};

template <std::size_t N>
std::string Find(const std::array<Text, N>& table, ErrorCode code) {
  const auto found = std::find_if(table.begin(), table.end(),
                                  [code](const Text& text) { return text.first == code; });
  return found == table.end() ? std::string() : std::string(found->second);
}

}  // namespace

std::string SystemMessageText(ErrorCode code) {
  return Find(kSystemTexts, code);
}

std::string NetworkMessageText(ErrorCode code) {
  return Find(kNetworkTexts, code);
}

}  // namespace platform
