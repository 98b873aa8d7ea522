#pragma once

// Whether the hand-written pixel loops take their AVX2 path (256-bit lanes) or the SSE2 one
// every x86-64 processor has. The processor is asked once; both paths give the same bytes.
namespace HLVectorPath {

// True when the processor has AVX2 and it has not been turned off.
bool avx2();

// Turns the AVX2 path on (where the processor has it) or off, so that tests can run both
// paths on the same pictures; answers avx2() afterwards.
bool setAvx2(bool wanted);

} // namespace HLVectorPath
