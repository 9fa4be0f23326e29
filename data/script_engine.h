#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/text.h"

namespace quellbo::data {

struct ScriptHeap;

// One JavaScript heap with one persistent global scope. Every call runs under
// a time cap and the heap under a memory cap, so that evaluating a server's
// answer can neither hang the program nor exhaust its memory: past a cap the
// call fails like any script error. A call that fails for any reason gives
// the empty value of its result kind and leaves the heap usable.
class ScriptEngine {
 public:
  static constexpr std::size_t kMemoryCap = std::size_t{32} << 20;
  static constexpr int kTimeCapMs = 1000;

  explicit ScriptEngine(std::size_t memoryCap = kMemoryCap, int timeCapMs = kTimeCapMs);
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // False when the heap could not be created; every call then fails.
  bool isValid() const;

  // Runs statements in the global scope.
  bool addCode(const Text& code);
  // Evaluates code in the global scope; the value is that of its last
  // expression statement. evalText gives "" for undefined and null and the
  // engine's own string form of anything else.
  bool eval(const Text& code);
  Text evalText(const Text& code);
  double evalNumber(const Text& code);
  bool evalTruth(const Text& code);

  // Compiles a program (UTF-8 source) into bytecode that runBytecode runs in
  // any engine of this build; empty when it does not compile.
  Bytes compileProgram(std::string_view utf8Source);
  bool runBytecode(const Bytes& bytecode);

  // Bytes the heap holds now.
  std::size_t memoryInUse() const;

 private:
  std::unique_ptr<ScriptHeap> m_heap;
};

// The engine's strings carry characters outside the BMP as two 3-byte
// surrogates (CESU-8); these two convert between that form and UTF-8. A lone
// surrogate becomes U+FFFD.
std::string utf8ToCesu8(std::string_view utf8);
std::string cesu8ToUtf8(std::string_view cesu8);

}  // namespace quellbo::data
