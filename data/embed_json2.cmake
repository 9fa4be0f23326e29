# Writes OUTPUT, a C++ source that holds the bytes of INPUT (json2.js) and
# hands them out through quellbo::data::json2Source().
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# One line of the array per line of the script.
string(REPLACE "0x0a," "0x0a,\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.new
"// Generated from ${INPUT} by embed_json2.cmake; do not edit.
#include \"data/json_library.h\"

namespace quellbo::data {

namespace {
constexpr unsigned char kJson2[${size}] = {
    ${bytes}
};
}  // namespace

std::string_view json2Source() { return std::string_view(reinterpret_cast<const char*>(kJson2), sizeof kJson2); }

}  // namespace quellbo::data
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
