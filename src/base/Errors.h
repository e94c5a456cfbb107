#pragma once
// Failures that end a handler and reach the user in a message box. The texts
// are the ones the user sees; they are UTF-8 (file names are native paths).
#include <stdexcept>
#include <string>

namespace fluvena {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read beyond the end of a text (Cut past its end, a position of -1).
class OutOfRange : public Error {
public:
    OutOfRange() : Error("Range check error") {}
};

// An edit field whose text is not a number of the expected kind.
class ConversionError : public Error {
public:
    using Error::Error;
};

// Division by zero, overflow or an invalid operation in a computation whose
// result would be shown or written: raised instead of writing inf or nan.
class FloatError : public Error {
public:
    using Error::Error;
};

// A file that cannot be opened, created or written.
class FileError : public Error {
public:
    using Error::Error;
};

std::string CannotOpenFile(const std::string& name);
std::string CannotCreateFile(const std::string& name);
inline const char* kStreamWriteError = "Stream write error";
inline const char* kDivisionByZero = "Floating point division by zero";
inline const char* kOverflow = "Floating point overflow";
inline const char* kInvalidOperation = "Invalid floating point operation";

// The quotient a / b, raising FloatError where the result would not be finite.
double Divide(double a, double b);

}  // namespace fluvena
