#include "platform/native/host_processor.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(HostProcessor, SpeedIsTheFirstCpuMhzLineThatGivesOne) {
  const struct {
    const char* cpuInfo;
    std::uint32_t megahertz;
  } cases[] = {
      {"processor\t: 0\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 2445.414\ncpu MHz\t\t: 99\n", 2445},
      {"cpu MHz : 2445.5\n", 2446},
      {"cpu MHz\n"
       "cpu MHz : 0.000\n"
       "cpu MHz : nan\n"
       "cpu MHz : 1e300\n"
       "cpu MHz : 800\n",
       800},
      {"processor\t: 0\nBogoMIPS\t: 48.00\n", 0},  // hosts that do not tell
      {"", 0},
      {"model name : cpu MHz 3000\ncpu MHz: 1200", 1200},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MegahertzOfCpuInfo(c.cpuInfo), c.megahertz) << c.cpuInfo;
}

#if defined(__x86_64__) || defined(__i386__)
TEST(HostProcessor, AnX86HostIdentifiesItsProcessor) {
  const ProcessorFacts facts = HostProcessorFacts();
  EXPECT_TRUE(facts.hasIdentification);
  EXPECT_EQ(facts.vendor.size(), 12u);
  EXPECT_NE(facts.signature, 0u);
  EXPECT_EQ(facts.megahertz, HostMegahertz());
}
#endif

}  // namespace
}  // namespace platform
