// The one exception type the engine throws internally. It carries an error code of
// IndexObject.h and a short English message; the public boundary (IndexObject.cpp) turns
// it, and every Xapian or standard exception, into the object's error code.
//
// Threads: plain value type.
#pragma once

#include <stdexcept>
#include <string>

namespace vellcore {

class EngineError : public std::runtime_error {
  public:
    EngineError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

[[noreturn]] inline void fail(int code, const std::string& message) {
    throw EngineError(code, message);
}

}  // namespace vellcore
