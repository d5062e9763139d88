#include "vbscript/limits.h"

#include <cstdint>

#if defined(__linux__) || defined(__APPLE__)
#include <pthread.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace tillbook::vbscript {
namespace {

uintptr_t QueryStackLow() {
#if defined(__linux__)
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
  void* low = nullptr;
  size_t size = 0;
  int failed = pthread_attr_getstack(&attr, &low, &size);
  pthread_attr_destroy(&attr);
  return failed ? 0 : reinterpret_cast<uintptr_t>(low);
#elif defined(__APPLE__)
  // The address the platform reports is the top of the stack.
  auto high = reinterpret_cast<uintptr_t>(pthread_get_stackaddr_np(pthread_self()));
  return high - pthread_get_stacksize_np(pthread_self());
#elif defined(_WIN32)
  ULONG_PTR low = 0, high = 0;
  GetCurrentThreadStackLimits(&low, &high);
  return static_cast<uintptr_t>(low);
#else
  return 0;
#endif
}

}  // namespace

uintptr_t StackLowOfThisThread() {
  thread_local const uintptr_t low = QueryStackLow();
  return low;
}

size_t StackLeft() {
  char here;
  uintptr_t low = StackLowOfThisThread();
  auto at = reinterpret_cast<uintptr_t>(&here);
  if (low == 0 || at < low) return SIZE_MAX;
  return at - low;
}

}  // namespace tillbook::vbscript
