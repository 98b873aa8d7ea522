#pragma once

#include <optional>

class QThreadPool;

// How many threads parallel work may use: the processors the process may run on (all of the
// machine's, or those taskset leaves it), unless the environment variable HL_THREADS holds a
// positive number, which stands in for it (to run the program, its tests and its benchmarks as
// a machine with that many threads would). HL_THREADS is read once.
namespace HLThreads {

// HL_THREADS when it holds a positive number.
std::optional<int> forced();
// forced(), else the processors this process may run on; at least 1.
int count();
// Qt's global thread pool, which Qt's own drawing shares too; it has forced() threads when
// HL_THREADS is set.
QThreadPool *pool();
// Makes the calling thread background work: waking, it never takes the processor from a
// running thread, so a play tick is not cut off by renders, decoders or an export. Threads it
// starts (a library's own, too) inherit this.
void becomeBackground();

} // namespace HLThreads
