#include "data/json_document.h"

#include <cmath>
#include <limits>
#include <string>

#include "data/json_library.h"
#include "data/script_engine.h"
#include "net/header_text.h"

namespace quellbo::data {

namespace {

using platform::leftText;
using platform::replaceText;
using platform::splitText;
using platform::toText;

// get__count on the first line, json2.js after it, then the two enumerable
// members that json2.js's predecessor put on Object.prototype and that
// getKeys has to leave out.
std::string libraryText() {
  std::string text = "function get__count(c){var t=typeof c;if(t=='object'){return c.length}return 0}\r\n";
  text += json2Source();
  text +=
      "\nif (!Object.prototype.toJSONString) {\n"
      "  Object.prototype.toJSONString = function (filter) { return JSON.stringify(this, filter); };\n"
      "  Object.prototype.parseJSON = function (filter) { return JSON.parse(this, filter); };\n"
      "}\n";
  return text;
}

// Compiling the library's 20 KB of source costs far more than a fresh heap,
// so it is compiled once per process and every engine runs the bytecode.
const Bytes& libraryBytecode() {
  static const Bytes bytecode = [] {
    ScriptEngine compiler;
    return compiler.compileProgram(libraryText());
  }();
  return bytecode;
}

int toCount(double value) {
  if (!std::isfinite(value)) return 0;
  if (value >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

Text quoteFor(bool raw) { return raw ? "" : "'"; }

}  // namespace

JsonDocument::JsonDocument() : m_name("da") { createEngine(); }

JsonDocument::~JsonDocument() = default;
JsonDocument::JsonDocument(const JsonDocument&) = default;
JsonDocument& JsonDocument::operator=(const JsonDocument&) = default;

void JsonDocument::createEngine() {
  m_engine = std::make_shared<ScriptEngine>();
  if (!m_engine->isValid()) {
    m_engine.reset();
    return;
  }
  const Bytes& bytecode = libraryBytecode();
  if (bytecode.empty() || !m_engine->runBytecode(bytecode)) m_engine->addCode(libraryText());
  m_engine->eval("var " + m_name + "={}");
  m_engine->eval("var g_regexp = String.fromCharCode(9216)");
  m_engine->eval("var g_reg = new RegExp(g_regexp, 'g')");
}

bool JsonDocument::parse(const Text& text) {
  // Every parse starts in a fresh engine, so nothing of an earlier answer
  // can be read from this one.
  createEngine();
  if (!m_engine) return false;
  m_engine->eval("var " + m_name + "=null");
  m_engine->addCode("var " + m_name + "=eval(" + text + ")");
  return m_engine->evalTruth("null !=" + m_name);
}

Text JsonDocument::serialize() {
  if (!m_engine) return {};
  m_engine->eval("var strScr = JSON.stringify(" + m_name + ")");
  return m_engine->evalText("strScr.replace(g_reg, '\\\\')");
}

void JsonDocument::setValue(const Text& path, const Text& value, bool valueIsJson) {
  if (!m_engine) return;
  const Text target = evaluatedPath(path);
  if (valueIsJson) {
    m_engine->eval(target + " = eval(" + (value.empty() ? Text("{}") : value) + ")");
    return;
  }
  // Escaped for a single-quoted literal; inside the engine every backslash
  // is then held as U+2400, which serialize turns back into one backslash.
  Text escaped = replaceText(value, "\\", "\\\\");
  escaped = replaceText(escaped, "'", "\\'");
  escaped = replaceText(escaped, "\"", "\\\"");
  escaped = replaceText(escaped, "\r", "\\r");
  escaped = replaceText(escaped, "\n", "\\n");
  m_engine->eval("var g_Str = '" + escaped + "'.replace(/\\\\/g, g_regexp)");
  m_engine->eval(target + " = g_Str");
}

void JsonDocument::setJson(const Text& path, const Text& json) {
  if (!m_engine) return;
  m_engine->eval(dottedPath(path) + "= eval(" + json + ")");
}

void JsonDocument::setNumber(const Text& path, double number) {
  if (!m_engine) return;
  m_engine->eval(dottedPath(path) + "=" + toText(number));
}

double JsonDocument::getNumber(const Text& path) {
  if (!m_engine) return 0;
  return m_engine->evalNumber(dottedPath(path));
}

Text JsonDocument::getJson(const Text& path) {
  if (!m_engine) return {};
  return m_engine->evalText("JSON.stringify(" + dottedPath(path) + ")");
}

Text JsonDocument::getText(const Text& path, bool asJson) {
  if (!m_engine) return {};
  const Text target = bracketedPath(path);
  if (asJson) return m_engine->evalText("JSON.stringify(" + target + ")");
  // Numbers are formatted by the program's own rule, not by the engine.
  if (getType(path) == 2) return toText(getNumber(path));
  return m_engine->evalText(target);
}

JsonDocument JsonDocument::getObject(const Text& path) {
  JsonDocument object;
  if (!m_engine) return object;
  object.parse(m_engine->evalText("JSON.stringify(" + bracketedPath(path) + ")"));
  return object;
}

int JsonDocument::getCount(const Text& path) {
  if (!m_engine) return 0;
  const Text target = path.empty() ? m_name : bracketedPath(path);
  return toCount(m_engine->evalNumber("get__count(" + target + ")"));
}

void JsonDocument::appendItem(const Text& value, const Text& path, bool raw) {
  if (!m_engine) return;
  const Text target = itemPath(path);
  const Text q = quoteFor(raw);
  m_engine->eval("if (Object.prototype.toString.call(" + target + ") != '[object Array]') { " + target +
                 "=new Array();} " + target + ".push(" + q + value + q + ")");
}

JsonDocument JsonDocument::getItemObject(int index, const Text& path) {
  JsonDocument object;
  if (!m_engine) return object;
  object.parse(m_engine->evalText("JSON.stringify(" + itemPath(path) + "[" + toText(index) + "])"));
  return object;
}

Text JsonDocument::getItemText(int index, const Text& path, bool asJson) {
  if (!m_engine) return {};
  const Text item = itemPath(path) + "[" + toText(index) + "]";
  if (asJson) return m_engine->evalText("JSON.stringify(" + item + ")");
  return m_engine->evalText(item);
}

void JsonDocument::setItem(int index, const Text& value, bool raw) {
  if (!m_engine) return;
  const Text q = quoteFor(raw);
  m_engine->eval(m_name + "[" + toText(index) + "]=" + q + value + q);
}

void JsonDocument::removeItem(int index) {
  if (!m_engine) return;
  m_engine->eval(m_name + ".splice(" + toText(index) + ",1)");
}

void JsonDocument::removeElement(const Text& path) {
  if (!m_engine) return;
  // path is member[i]: the member before the first "[", i up to the next "]".
  const Text member = net::textBeforeMarker(path, "[");
  const Text index = net::textBetween(path, "[", "]");
  JsonDocument array;
  array.parse(getText(member, true));
  array.removeItem(static_cast<int>(platform::toInt(index)));
  setJson(member, array.serialize());
}

void JsonDocument::remove(const Text& path) {
  if (!m_engine) return;
  m_engine->eval("delete " + evaluatedPath(path));
}

void JsonDocument::create(int typeCode) {
  if (!m_engine) return;
  if (typeCode == 0 || typeCode == 4) {
    m_engine->eval("var " + m_name + "={}");
    return;
  }
  if (typeCode == 5) m_engine->eval("var " + m_name + "=new Array()");
}

void JsonDocument::setRoot(const Text& value, bool raw) {
  if (!m_engine) return;
  const Text q = quoteFor(raw);
  m_engine->eval(m_name + "=" + q + value + q);
}

bool JsonDocument::has(const Text& path) {
  if (!m_engine) return false;
  return m_engine->evalTruth(dottedPath(path) + " !=null");
}

int JsonDocument::getKeys(TextList& names, const Text& path) {
  names.clear();
  if (!m_engine) return 0;
  const Text target = path.empty() ? m_name : bracketedPath(path);
  Text keys = m_engine->evalText("var ary=''; for (var key in " + target + ") {ary=ary+ key+','; }");
  keys = replaceText(keys, "toJSONString,", "");
  keys = replaceText(keys, "parseJSON,", "");
  m_engine->eval("ary=null");
  names = splitText(keys, ",");
  return static_cast<int>(names.size());
}

int JsonDocument::getType(const Text& path) {
  if (!m_engine) return -1;
  const Text target = path.empty() ? m_name : m_name + "." + path;
  if (m_engine->evalTruth(target + "==null")) return 0;
  const Text type = m_engine->evalText("typeof (" + target + ")");
  if (type == "string") return 6;
  if (type == "object") return leftText(getText(path, true), 1) == "[" ? 5 : 4;
  if (type == "number") return 2;
  if (type == "boolean") return 1;
  return -1;
}

void JsonDocument::clear() {
  if (!m_engine) return;
  m_engine->eval(m_name + "={}");
}

std::shared_ptr<ScriptEngine> JsonDocument::getEngine() const { return m_engine; }

Text JsonDocument::bracketedPath(const Text& path) const {
  if (leftText(path, 1) == "[") return m_name + path;
  return m_name + "." + path;
}

Text JsonDocument::dottedPath(const Text& path) const { return m_name + "." + path; }

Text JsonDocument::evaluatedPath(const Text& path) const {
  if (m_engine->evalText(path).empty()) return m_name + "." + path;
  return m_name + path;
}

Text JsonDocument::itemPath(const Text& path) const {
  if (path.empty()) return m_name;
  return m_name + "." + path;
}

}  // namespace quellbo::data
