#pragma once

// Heap allocations made so far by this program, counted by the replaced
// global operator new.
long AllocationCount();
