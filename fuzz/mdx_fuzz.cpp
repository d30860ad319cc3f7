// MDX index files from untrusted bytes, beside a small table: opened read-only, every tag walked
// both ways, keys of every type sought, the file verified.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/support/index_family_fuzz.hpp"
#include "tables/index/mdx_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ReadIndexBytes("FUZZIDX.MDX", data, size,
                       [](tables::XBO_dBaseFld& table, const std::string& path) {
                         return std::make_unique<tables::XBobjMDXFile>(
                             table, path, "", tables::XbIndexOpenMode{false, true, false});
                       });
  return 0;
}
