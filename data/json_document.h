#pragma once

#include <memory>

#include "platform/text.h"

namespace quellbo::data {

class ScriptEngine;

// A JSON value held in a JavaScript engine and read by JavaScript member
// paths. Every parse starts a fresh engine; a failed evaluation of any kind
// gives the empty value of its result kind.
class JsonDocument {
 public:
  JsonDocument();
  ~JsonDocument();
  // A copy shares the engine: both read and change the same document.
  JsonDocument(const JsonDocument&);
  JsonDocument& operator=(const JsonDocument&);

  void createEngine();
  bool parse(const Text& text);
  Text serialize();
  void setValue(const Text& path, const Text& value, bool valueIsJson = false);
  void setJson(const Text& path, const Text& json);
  void setNumber(const Text& path, double number);
  double getNumber(const Text& path);
  Text getJson(const Text& path);
  Text getText(const Text& path, bool asJson = false);
  JsonDocument getObject(const Text& path);
  int getCount(const Text& path = "");
  void appendItem(const Text& value, const Text& path = "", bool raw = false);
  JsonDocument getItemObject(int index, const Text& path = "");
  Text getItemText(int index, const Text& path = "", bool asJson = false);
  void setItem(int index, const Text& value, bool raw = false);
  void removeItem(int index);
  void removeElement(const Text& path);
  void remove(const Text& path);
  void create(int typeCode);
  void setRoot(const Text& value, bool raw = false);
  bool has(const Text& path);
  int getKeys(TextList& names, const Text& path = "");
  int getType(const Text& path = "");
  void clear();
  std::shared_ptr<ScriptEngine> getEngine() const;

 private:
  // The three ways a path is joined to the document's name: a "." unless the
  // path starts with "["; always a "."; a "." unless the path, evaluated on
  // its own, gives a non-empty text.
  Text bracketedPath(const Text& path) const;
  Text dottedPath(const Text& path) const;
  Text evaluatedPath(const Text& path) const;
  // The name alone for an empty path, else name "." path.
  Text itemPath(const Text& path) const;

  Text m_name;
  std::shared_ptr<ScriptEngine> m_engine;
};

}  // namespace quellbo::data
