#pragma once
// Synthetic, repeatable web-site names for the shipped site lists.
#include <cstdint>
#include <string>
#include <vector>

namespace mkdist {

struct ListedSite {
  std::string site;     // "www.example.com" style, lower case
  std::string reasons;  // one category letter
};

// count sites drawn from seed: the same seed always gives the same list, and no name occurs
// twice in one list.
std::vector<ListedSite> SyntheticSites(std::uint32_t seed, int count);

}  // namespace mkdist
