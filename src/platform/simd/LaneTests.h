// Whole-group tests for the loops compiled twice, once for the baseline processor and once for AVX2:
// each copy includes this file into its own namespace (after the lane types and GatherLanes.h), with
// VELK_LANES_AVX2 telling whether it is the AVX2 copy, which tests with one instruction.

// Whether every bit of every lane is 0, or 1.
VELK_LANE bool AllZero(U32 v) {
#if VELK_LANES_AVX2
  return AllZeroAvx2(v);
#else
  return AllEqual(v, 0);
#endif
}

VELK_LANE bool AllOnes(U32 v) {
#if VELK_LANES_AVX2
  return AllOnesAvx2(v);
#else
  return AllEqual(v, ~0u);
#endif
}
