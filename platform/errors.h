// Failures that travel as exceptions through the drawing module.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

// Raised where a floating-point operation would divide by zero, be invalid or
// overflow, so the failure takes the same road as a hardware fault would.
class FloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by the number conversions for text that is not a number.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised when a file that exists cannot be opened or read.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace velmora
