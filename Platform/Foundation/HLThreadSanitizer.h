#pragma once

// ThreadSanitizer sees only what instrumented code does, and Qt is not instrumented: a job
// handed to another thread through Qt's queues (its event loop, its thread pool) arrives
// without the order that Qt's own locks give it. These marks tell ThreadSanitizer about such
// a handover: release on the giving side before the hand-over, acquire on the taking side,
// on the same address. Without ThreadSanitizer they are nothing.
#if defined(__SANITIZE_THREAD__)
#define HL_TSAN_ENABLED 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define HL_TSAN_ENABLED 1
#endif
#endif

#ifdef HL_TSAN_ENABLED
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#define HL_TSAN_RELEASE(address) __tsan_release(static_cast<void *>(address))
#define HL_TSAN_ACQUIRE(address) __tsan_acquire(static_cast<void *>(address))
#else
#define HL_TSAN_RELEASE(address) ((void)0)
#define HL_TSAN_ACQUIRE(address) ((void)0)
#endif
