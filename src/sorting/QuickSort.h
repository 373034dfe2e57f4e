// The program's one sort of value lists: splits by value into up to 1024 groups, then orders
// each group, carrying a serial number with every value.
#pragma once

namespace vortel {

struct PairScratch;
struct SessionFiles;
struct SortHandOver;

// Reads SortCount, SortInput(1..n), SortInputSerial(1..n), FlowRecord, SortUtilityUsed and the
// group limit; leaves SortOutput and SortOutputSerial (1..n), SortTotal, SortMean and the
// lowered group limit. Work lists are sized to n. A count outside 1..ListCapacity throws
// RunStopped before the limit changes.
void QuickSort(PairScratch& work, SortHandOver& handOver, SessionFiles& files);

}  // namespace vortel
