// Per-record evaluation must not allocate once its buffers have grown.
#include <gtest/gtest.h>

#include "exp_allocation_counter.hpp"
#include "exp_fake_table.hpp"
#include "exp_test_machine.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_table_link.hpp"

namespace tables::testing {
namespace {

class ExpAllocation : public ExpTest {
 protected:
  ExpAllocation() : table_({{"SITE", 'C', 60}, {"NUM", 'N', 10}, {"D", 'D', 8}, {"L", 'L', 1}}) {
    table_.Append({"www.example.com", "512.50", "19800101", "T"});
    table_.Append({"shop.kv.io", "-3", "20240229", "F"}, true);
  }

  // Allocations made by 100 evaluations after a first one has grown the buffers.
  long AllocationsPerRun(const char* expression) {
    TxbExpHandler handler(&XbTableLink(table_), false, expression);
    handler.Evaluate();
    table_.GoTo(2);
    handler.Evaluate();
    long before = AllocationCount();
    for (int i = 0; i < 100; ++i) {
      table_.GoTo(1 + i % 2);
      handler.Evaluate();
    }
    return AllocationCount() - before;
  }

  FakeTable table_;
};

TEST_F(ExpAllocation, CounterSeesAllocations) {
  long before = AllocationCount();
  // A direct call, since the optimiser may drop a new-expression whose result goes unused.
  void* block = ::operator new(16);
  ::operator delete(block);
  EXPECT_EQ(AllocationCount() - before, 1);
}

TEST_F(ExpAllocation, EvaluationReusesItsBuffers) {
  const char* expressions[] = {
      "NUM > 500 .AND. DELETED() = .F.",
      "D + 1 - RECNO() * 2 ^ 3",
      "L .OR. EMPTY(D) .OR. BETWEEN(NUM, 1, 1000)",
      "UPPER(SITE)",
      "TRIM(SITE) = 'www.example.com' .OR. SITE = 'shop*'",
      "LEFT(SITE, 5) + STR(NUM, 10, 2)",
  };
  for (const char* expression : expressions) {
    EXPECT_EQ(AllocationsPerRun(expression), 0) << expression;
  }
}

}  // namespace
}  // namespace tables::testing
