#pragma once
// This test binary replaces operator new to count every allocation made through it.

namespace tables::testing {

long AllocationCount();

}  // namespace tables::testing
