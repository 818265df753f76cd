// What the core's parts share among themselves.
#pragma once

#include <string_view>

namespace zv::core {

// Writes the text to standard error in one write where the system allows.
void WriteStandardError(std::string_view text);

} // namespace zv::core
