#include "net/encodings.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>

#include <array>
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

// The one owner of a UConverter; every ICU conversion call goes through it.
// Conversions stream through ucnv_toUnicode/ucnv_fromUnicode with a growing
// buffer, so there is no 32-bit length to overflow and nothing stops early:
// undecodable input becomes U+FFFD, unencodable units "?".
class IcuConverter {
 public:
  explicit IcuConverter(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    m_converter = ucnv_open(name, &error);
    if (U_FAILURE(error)) {
      if (m_converter != nullptr) ucnv_close(m_converter);
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
    ucnv_resetToUnicode(m_converter);
    out.resize(size + 16);
    const char* source = data;
    const char* const sourceLimit = data + size;
    std::size_t written = 0;
    for (;;) {
      UChar* target = reinterpret_cast<UChar*>(out.data()) + written;
      UChar* const targetLimit = reinterpret_cast<UChar*>(out.data()) + out.size();
      UErrorCode error = U_ZERO_ERROR;
      ucnv_toUnicode(m_converter, &target, targetLimit, &source, sourceLimit, nullptr, true, &error);
      written = static_cast<std::size_t>(target - reinterpret_cast<UChar*>(out.data()));
      if (error == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(out.size() * 2);
        continue;
      }
      if (U_FAILURE(error)) return {};
      break;
    }
    out.resize(written);
    return out;
  }

  std::string encode(std::u16string_view units) {
    std::string out;
    if (units.empty() || m_converter == nullptr) return out;
    ucnv_resetFromUnicode(m_converter);
    out.resize(units.size() * 2 + 16);
    const UChar* source = reinterpret_cast<const UChar*>(units.data());
    const UChar* const sourceLimit = source + units.size();
    std::size_t written = 0;
    for (;;) {
      char* target = out.data() + written;
      char* const targetLimit = out.data() + out.size();
      UErrorCode error = U_ZERO_ERROR;
      ucnv_fromUnicode(m_converter, &target, targetLimit, &source, sourceLimit, nullptr, true, &error);
      written = static_cast<std::size_t>(target - out.data());
      if (error == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(out.size() * 2);
        continue;
      }
      if (U_FAILURE(error)) return {};
      break;
    }
    out.resize(written);
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

// A charset name folded the way ICU compares names: case and the separators
// "-", "_" and " " do not count.
std::string foldedName(const Text& charset) {
  std::string folded;
  for (char c : charset) {
    if (c == '-' || c == '_' || c == ' ') continue;
    folded += static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
  }
  return folded;
}

// The ICU name for a charset that a web page or a caller declares, or nothing
// for a name that cannot be one. Pages say gb2312 or gbk and mean the whole
// GBK repertoire, so that family decodes with the GB18030 table, as browsers
// do; ICU alone would open gb2312 as EUC-CN and lose every GBK extension.
std::optional<std::string> charsetName(const Text& charset) {
  if (charset.find('\0') != Text::npos) return std::nullopt;
  static constexpr std::array<const char*, 13> kGbkFamily = {
      "gb2312", "gbk",   "xgbk",     "cp936",   "windows936", "ms936",           "gb231280",
      "euccn",  "csgbk", "csgb2312", "chinese", "isoir58",    "csiso58gb231280",
  };
  const std::string folded = foldedName(charset);
  for (const char* name : kGbkFamily) {
    if (folded == name) return std::string(kNational);
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

// Decodes national text so that it splits into characters exactly as the text
// services see them: a byte that starts no character (a lone lead byte, 0x80,
// 0xFF) is one U+FFFD and the bytes after it are characters of their own. ICU
// alone would swallow a truncated sequence at the very end ("81 30" loses its
// "0"), so it only ever gets runs of whole characters.
std::u16string decodeNational(const Text& text) {
  IcuConverter converter(kNational);
  std::u16string out;
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto length = static_cast<std::size_t>(platform::charLength(text, i));
    if (length == 1 && static_cast<unsigned char>(text[i]) >= 0x80) {
      out += converter.decode(text.data() + runStart, i - runStart);
      out.push_back(u'\uFFFD');
      runStart = i + 1;
    }
    i += length;
  }
  out += converter.decode(text.data() + runStart, text.size() - runStart);
  return out;
}

std::string encodeWith(const char* charset, std::u16string_view units) { return IcuConverter(charset).encode(units); }

void appendCodePoint(std::u16string& out, UChar32 c) {
  if (c <= 0xFFFF) {
    out.push_back(static_cast<char16_t>(c));
    return;
  }
  out.push_back(static_cast<char16_t>(U16_LEAD(c)));
  out.push_back(static_cast<char16_t>(U16_TRAIL(c)));
}

// A base character followed by a nonspacing mark becomes the precomposed
// character where one exists. Only such pairs are joined: full NFC would also
// replace singletons such as the compatibility ideographs that GBK holds
// (FE 40 is U+FA0C), changing characters that convert perfectly well.
std::u16string composed(const std::u16string& units) {
  UErrorCode error = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&error);
  if (U_FAILURE(error)) return units;
  std::u16string out;
  out.reserve(units.size());
  UChar32 last = U_SENTINEL;  // the code point last appended, if any
  std::size_t lastAt = 0;
  const auto length = static_cast<int32_t>(units.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c = 0;
    U16_NEXT(units.data(), i, length, c);
    if (last != U_SENTINEL && u_charType(c) == U_NON_SPACING_MARK) {
      const UChar32 pair = unorm2_composePair(nfc, last, c);
      if (pair >= 0) {
        out.resize(lastAt);
        appendCodePoint(out, pair);
        last = pair;
        continue;
      }
    }
    lastAt = out.size();
    appendCodePoint(out, c);
    last = c;
  }
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
  if (*name == kNational) return unitsWithNul(decodeNational(upTo));
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
  const auto fromName = charsetName(fromCharset);
  const auto toName = charsetName(toCharset);
  if (!fromName || !toName || data.empty()) return {};
  IcuConverter from(fromName->c_str());
  IcuConverter to(toName->c_str());
  if (!from.valid() || !to.valid()) return {};
  // The text passes through the national code page on its way.
  const std::string national =
      *fromName == kNational
          ? Text(data.begin(), data.end())
          : encodeWith(kNational, from.decode(reinterpret_cast<const char*>(data.data()), data.size()));
  const std::string out = to.encode(decodeNational(national));
  return Bytes(out.begin(), out.end());
}

Bytes convertCharset(const Bytes& data) {
  Text from;
  Text to;
  return convertCharset(data, from, to);
}

std::string toUtf8(const Text& text) { return encodeWith("UTF-8", decodeNational(text)); }

Text fromUtf8(std::string_view utf8) { return encodeWith(kNational, decodeWith("UTF-8", utf8.data(), utf8.size())); }

std::u16string toUtf16(const Text& text) { return decodeNational(text); }

Text fromUtf16(std::u16string_view utf16) { return encodeWith(kNational, utf16); }

}  // namespace quellbo::net
