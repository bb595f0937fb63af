#pragma once
// Every heap allocation of a benchmark program, counted: a program linked with
// allocation_counter.cpp has its global operator new and delete replaced by ones that count, so a
// frame that allocates shows up in its figures.
namespace bench {

// The allocations made since the program started.
long long AllocationCount();

}  // namespace bench
