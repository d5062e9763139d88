// The bounds that keep a script, however broken or hostile, from taking the program down: how
// deeply its text may nest, how much native stack the interpreter leaves unused, and how large
// its texts and arrays may grow. Past a bound the script gets an error it can read, never a
// crash. Private to vbscript/.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vbscript/errors.h"

namespace tillbook::vbscript {

// Open constructs the parser may be inside at once: blocks, parentheses, argument lists,
// prefix operators. Each costs native stack while parsing and, for blocks, while running.
inline constexpr int kMaxNesting = 256;
// Height of one expression's tree: evaluation recurses once per level. Long chains of binary
// operators ("1+1+...+1") are flattened and count as one level.
inline constexpr int kMaxExpressionHeight = 256;
// A run of this many binary operators nested on the left ("a + b + c ...") becomes one node
// evaluated in a loop.
inline constexpr int kChainFrom = 16;

// Native stack kept free below the deepest script call (a deeper call is error 28): one
// procedure nested to the limits above needs up to about 300 KiB of it, the rest is for the
// builtins and host calls it makes. With the parser's reserve below, scripts run on any thread
// whose stack has 512 KiB or more; on smaller stacks deep scripts end with error 28 sooner.
inline constexpr size_t kStackReserve = 384u << 10;
// Native stack the parser keeps free: compiling deep text (for Eval or Execute deep in a
// recursion, or on a small stack) fails with error 28 rather than running into the end of the
// stack.
inline constexpr size_t kParserStackReserve = 192u << 10;

// Largest text a script may build unless the host sets another limit; longer is error 7.
inline constexpr size_t kMaxTextBytes = 256u << 20;
// Error 7 (out of memory, which a script may catch) unless a text of `bytes` bytes fits under
// `limit`. Called before the text is built, so that nothing that large is ever allocated.
inline void CheckTextSize(size_t bytes, size_t limit) {
  if (bytes > limit) Throw(kOutOfMemory);
}

// Largest number of elements of one array; more is error 7.
inline constexpr size_t kMaxArrayElements = 64u << 20;

// Lowest address the running thread's stack may grow down to; 0 when the platform does not
// say. Asked once per thread.
uintptr_t StackLowOfThisThread();

// Native stack left below the caller's frame on this thread; SIZE_MAX when unknown.
size_t StackLeft();

}  // namespace tillbook::vbscript
