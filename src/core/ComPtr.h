#pragma once
// The one smart pointer for COM references.
#include <wrl/client.h>

template <class T>
using TComPtr = Microsoft::WRL::ComPtr<T>;
