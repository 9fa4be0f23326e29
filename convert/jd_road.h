#pragma once

namespace quellbo::convert {

inline constexpr const char* kJdUserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/50.0.2661.87 "
    "Safari/537.36";

// Hands the deal text of 编辑框1 with the user's cookie (编辑框13) to the JD
// union converter and writes the converted text into 编辑框2.
void convertJdLink();

}  // namespace quellbo::convert
