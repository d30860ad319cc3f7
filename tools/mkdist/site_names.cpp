#include "tools/mkdist/site_names.hpp"

#include <array>
#include <string_view>
#include <unordered_set>

namespace mkdist {
namespace {

constexpr std::array<std::string_view, 24> kSyllables{
    "ka", "lo",  "mi", "ter", "van", "dor", "sel", "pra", "nu", "qui", "zen", "bro",
    "fa", "gel", "ho", "jin", "rax", "tu",  "vel", "wo",  "xi", "yor", "sta", "plex"};
constexpr std::array<std::string_view, 6> kDomains{".com", ".net", ".org", ".biz", ".info", ".to"};
constexpr std::array<std::string_view, 3> kPrefixes{"www.", "", "members."};
// The category letters of the lists' "Reasons" field.
constexpr std::string_view kReasons = "PAVHDGW";

// A linear congruential generator: small, fast and the same on every platform.
class Draw {
 public:
  explicit Draw(std::uint32_t seed) : state_(seed) {}
  std::uint32_t Below(std::size_t limit) {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<std::uint32_t>((state_ >> 8) % limit);
  }

 private:
  std::uint32_t state_;
};

std::string SiteName(Draw& draw) {
  std::string name(kPrefixes[draw.Below(kPrefixes.size())]);
  const std::uint32_t syllables = 2 + draw.Below(3);
  for (std::uint32_t i = 0; i < syllables; ++i)
    name += kSyllables[draw.Below(kSyllables.size())];
  if (draw.Below(4) == 0) name += std::to_string(draw.Below(100));
  return name + std::string(kDomains[draw.Below(kDomains.size())]);
}

}  // namespace

std::vector<ListedSite> SyntheticSites(std::uint32_t seed, int count) {
  Draw draw(seed);
  std::unordered_set<std::string> seen;
  std::vector<ListedSite> sites;
  while (static_cast<int>(sites.size()) < count) {
    std::string site = SiteName(draw);
    std::string reasons(1, kReasons[draw.Below(kReasons.size())]);
    if (seen.insert(site).second) sites.push_back({std::move(site), std::move(reasons)});
  }
  return sites;
}

}  // namespace mkdist
