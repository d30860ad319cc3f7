#pragma once
// The proxy questions of wizard page 3: does the user go through an upstream proxy server, and
// which one. The answers go into the machine key.
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kProxyQuestionCaption = "Proxy Server in use?";
inline constexpr std::string_view kProxyQuestion =
    "Are you using a proxy server?\nMost home users will choose \"NO\" unless you have\nbeen "
    "specifically told by your ISP to use one";
inline constexpr std::string_view kProxyHostCaption = "Proxy Server IP Address";
inline constexpr std::string_view kProxyHostPrompt = "What is the proxy server IP address?";
inline constexpr std::string_view kProxyPortCaption = "HTTP port";
inline constexpr std::string_view kProxyPortPrompt = "What is the HTTP port of the proxy server?";

struct ProxyAnswers {
  bool sendToProxy = false;
  std::string host = "0.0.0.0";
  std::int32_t port = 80;
};

// Asks the questions. Cancelling an input box keeps its default; a port that is not a whole
// number is asked for again. The host is taken as typed.
ProxyAnswers AskProxyQuestions();

// Writes "SendToProxy", "ProxyHost" and "ProxyPort" into the machine key (made when missing).
void WriteProxyAnswers(const ProxyAnswers& answers);

}  // namespace app
