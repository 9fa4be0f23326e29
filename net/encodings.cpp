#include "net/encodings.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unorm2.h>

#include <algorithm>
#include <optional>

namespace quellbo::net {

namespace {

// Writes "?" for each UTF-16 unit that the target cannot hold, as the
// national code page conversion does (ICU's own substitute is 0x1A).
void questionMarkCallback(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t length, UChar32,
                          UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  for (int32_t i = 0; i < length; ++i) ucnv_cbFromUWriteBytes(args, "?", 1, 0, error);
}

// The one owner of a UConverter.
class IcuConverter {
 public:
  explicit IcuConverter(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    m_converter = ucnv_open(name, &error);
    if (U_FAILURE(error)) {
      m_converter = nullptr;
      return;
    }
    error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(m_converter, questionMarkCallback, nullptr, nullptr, nullptr, &error);
    error = U_ZERO_ERROR;
    ucnv_setToUCallBack(m_converter, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &error);
  }
  ~IcuConverter() {
    if (m_converter != nullptr) ucnv_close(m_converter);
  }
  IcuConverter(const IcuConverter&) = delete;
  IcuConverter& operator=(const IcuConverter&) = delete;

  bool valid() const { return m_converter != nullptr; }

  std::u16string decode(const char* data, std::size_t size) {
    std::u16string out;
    if (size == 0 || m_converter == nullptr) return out;
    out.resize(size * 2 + 16);
    UErrorCode error = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(m_converter, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                              data, static_cast<int32_t>(size), &error);
    if (error == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(static_cast<std::size_t>(n) + 1);
      error = U_ZERO_ERROR;
      n = ucnv_toUChars(m_converter, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), data,
                        static_cast<int32_t>(size), &error);
    }
    if (U_FAILURE(error)) return {};
    out.resize(static_cast<std::size_t>(n));
    return out;
  }

  std::string encode(std::u16string_view units) {
    std::string out;
    if (units.empty() || m_converter == nullptr) return out;
    out.resize(units.size() * 4 + 16);
    UErrorCode error = U_ZERO_ERROR;
    int32_t n = ucnv_fromUChars(m_converter, out.data(), static_cast<int32_t>(out.size()),
                                reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()),
                                &error);
    if (error == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(static_cast<std::size_t>(n) + 1);
      error = U_ZERO_ERROR;
      n = ucnv_fromUChars(m_converter, out.data(), static_cast<int32_t>(out.size()),
                          reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()), &error);
    }
    if (U_FAILURE(error)) return {};
    out.resize(static_cast<std::size_t>(n));
    return out;
  }

 private:
  UConverter* m_converter = nullptr;
};

constexpr const char* kNational = "GB18030";

// ICU name for a code page number, or nothing for one we do not know.
std::optional<std::string> codePageName(int codePage) {
  if (codePage == kCodePageNational) return std::string(kNational);
  if (codePage == kCodePageUtf8) return std::string("UTF-8");
  if (codePage <= 0) return std::nullopt;
  std::string name = "windows-" + std::to_string(codePage);
  if (IcuConverter(name.c_str()).valid()) return name;
  name = "ibm-" + std::to_string(codePage);
  if (IcuConverter(name.c_str()).valid()) return name;
  return std::nullopt;
}

// Web pages say gb2312 or gbk and mean the whole GBK repertoire, so those
// names decode with the GB18030 table, as browsers do.
std::string charsetName(const Text& charset) {
  std::string lower;
  for (char c : charset) lower += static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
  if (lower == "gb2312" || lower == "gbk" || lower == "x-gbk" || lower == "cp936" || lower == "windows-936" ||
      lower == "gb_2312-80" || lower == "euc-cn" || lower == "csgb2312") {
    return kNational;
  }
  return charset;
}

std::u16string unitsUpToNul(const Bytes& data) {
  std::u16string units;
  units.reserve(data.size() / 2);
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return units;
}

Bytes unitsWithNul(const std::u16string& units) {
  Bytes out;
  out.reserve(units.size() * 2 + 2);
  for (char16_t unit : units) {
    out.push_back(static_cast<unsigned char>(unit & 0xFF));
    out.push_back(static_cast<unsigned char>(unit >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

Text upToZero(std::string s) {
  const auto zero = s.find('\0');
  if (zero != std::string::npos) s.resize(zero);
  return s;
}

std::u16string decodeWith(const char* charset, const char* data, std::size_t size) {
  return IcuConverter(charset).decode(data, size);
}

std::string encodeWith(const char* charset, std::u16string_view units) { return IcuConverter(charset).encode(units); }

// A base character followed by a combining mark becomes the precomposed
// character where one exists.
std::u16string composed(const std::u16string& units) {
  UErrorCode error = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&error);
  if (U_FAILURE(error)) return units;
  std::u16string out(units.size() + 16, u'\0');
  int32_t n = unorm2_normalize(nfc, reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()),
                               reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &error);
  if (error == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(static_cast<std::size_t>(n));
    error = U_ZERO_ERROR;
    n = unorm2_normalize(nfc, reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()),
                         reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &error);
  }
  if (U_FAILURE(error)) return units;
  out.resize(static_cast<std::size_t>(n));
  return out;
}

}  // namespace

Text utf8ToGbk(const Bytes& data) {
  if (data.empty()) return {};
  const auto units = decodeWith("UTF-8", reinterpret_cast<const char*>(data.data()), data.size());
  return upToZero(encodeWith(kNational, units));
}

Bytes gbkToUtf16(const Text& text) {
  if (text.empty()) return {};
  return textToUtf16(text, kCodePageNational);
}

Text utf16ToGbk(const Bytes& data) { return upToZero(encodeWith(kNational, composed(unitsUpToNul(data)))); }

Bytes textToUtf16(const Text& text, int codePage) {
  const auto name = codePageName(codePage);
  const Text upTo = upToZero(text);
  if (!name) return unitsWithNul({});
  return unitsWithNul(decodeWith(name->c_str(), upTo.data(), upTo.size()));
}

Text utf16ToText(const Bytes& data, int codePage) {
  const auto name = codePageName(codePage);
  if (!name) return {};
  return upToZero(encodeWith(name->c_str(), unitsUpToNul(data)));
}

Text gbkToUtf8(const Text& text) { return utf16ToText(textToUtf16(text, kCodePageNational), kCodePageUtf8); }

Bytes convertCharset(const Bytes& data, Text& fromCharset, Text& toCharset) {
  if (fromCharset.empty()) fromCharset = "UTF-8";
  if (toCharset.empty()) toCharset = "GBK";
  IcuConverter from(charsetName(fromCharset).c_str());
  IcuConverter to(charsetName(toCharset).c_str());
  if (!from.valid() || !to.valid() || data.empty()) return {};
  // The text passes through the national code page on its way.
  const std::string national =
      encodeWith(kNational, from.decode(reinterpret_cast<const char*>(data.data()), data.size()));
  const std::string out = to.encode(decodeWith(kNational, national.data(), national.size()));
  return Bytes(out.begin(), out.end());
}

Bytes convertCharset(const Bytes& data) {
  Text from;
  Text to;
  return convertCharset(data, from, to);
}

std::string toUtf8(const Text& text) { return encodeWith("UTF-8", decodeWith(kNational, text.data(), text.size())); }

Text fromUtf8(std::string_view utf8) {
  return encodeWith(kNational, decodeWith("UTF-8", utf8.data(), utf8.size()));
}

std::u16string toUtf16(const Text& text) { return decodeWith(kNational, text.data(), text.size()); }

Text fromUtf16(std::u16string_view utf16) { return encodeWith(kNational, utf16); }

}  // namespace quellbo::net
