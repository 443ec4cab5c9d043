#pragma once
// The general exception class of the component library: one message string.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    // Narrow (system code page) copy of the message, for code that only knows std::exception.
    const char* what() const noexcept override { return narrowMessage_.c_str(); }

private:
    std::wstring message_;
    std::string narrowMessage_;
};

// An operation that the object's state does not allow.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// An argument the operation cannot work with.
class EInvalidArgument : public Exception {
public:
    using Exception::Exception;
};
