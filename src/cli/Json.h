// Just enough JSON for the tool's output: strings escaped as RFC 8259 asks (invalid UTF-8
// replaced, so the output always parses).
#pragma once

#include <string>
#include <string_view>

namespace vellumar::cli {

std::string jsonString(std::string_view text);

}  // namespace vellumar::cli
