#pragma once

#include <string_view>

namespace quellbo::data {

// The bytes of json2.js as installed on the build machine, embedded into the
// binary when it is built.
std::string_view json2Source();

}  // namespace quellbo::data
