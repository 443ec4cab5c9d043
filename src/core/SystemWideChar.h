#pragma once
// mingw-w64's <wchar.h> defines wmemcpy as an inline memcpy. Read from a precompiled header,
// GCC 12 no longer treats that body as a system header's and follows it into every wide string
// made from a short literal, warning of bounds the copy never passes (-Warray-bounds). Read
// first and without the header's inline bodies, the wide-character functions are the C
// library's own: the warning goes where it arose, and every array access keeps its check.
#define __CRT__NO_INLINE
#include <wchar.h>
#undef __CRT__NO_INLINE
