#include "core/Exception.h"

#include "core/TextConversion.h"

Exception::Exception(std::wstring message)
    : message_(std::move(message)), narrowMessage_(WideToNarrow(message_))
{
}
