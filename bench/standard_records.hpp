#pragma once
// The standard benchmark records (the shared generator records.py in C++): a linear
// congruential generator s = (s * 1103515245 + 12345) mod 2^31, r = s >> 16, from which record
// n takes its draws strictly in order, so records are made one after the other.
#include <cstdint>
#include <string>

namespace bench {

struct StandardRecord {
  std::string site;     // SITE C(60)
  std::string user;     // USER C(1)
  std::string reasons;  // REASONS C(10)
  std::string num;      // NUM N(10,2) as "%.2f" text
  std::string date;     // D as yyyymmdd, empty for 1 record in 100
  bool logical = false;
  std::string memo;  // empty for 9 records in 10
};

class StandardRecords {
 public:
  explicit StandardRecords(std::uint64_t seed = 1) : state_(seed) {}
  // Record n (1-based); call for n = 1, 2, ... in turn.
  StandardRecord Next(std::int64_t n);
  // One draw of the generator (also used to pick record numbers).
  std::uint64_t Draw();

 private:
  std::uint64_t state_;
};

}  // namespace bench
