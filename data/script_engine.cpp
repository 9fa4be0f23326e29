#include "data/script_engine.h"

#include <duktape.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "net/encodings.h"

namespace quellbo::data {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

struct ScriptHeap {
  duk_context* context = nullptr;
  std::size_t memoryCap = 0;
  std::size_t memoryInUse = 0;
  std::chrono::milliseconds timeCap{0};
  // Outside a call the deadline lies in the past, so nothing the script left
  // behind (a finalizer, say) can run on its own.
  Clock::time_point deadline = Clock::time_point::min();
  bool inCall = false;
  unsigned steps = 0;
};

}  // namespace quellbo::data

// Duktape asks this from inside the bytecode executor and before it runs a
// regular expression (see the patched copy of Duktape); true makes it throw a
// RangeError until the call unwinds.
extern "C" int quellbo_script_timed_out(void* udata) {
  const auto* heap = static_cast<const quellbo::data::ScriptHeap*>(udata);
  return heap != nullptr && quellbo::data::Clock::now() >= heap->deadline ? 1 : 0;
}

// Asked at every property read and existence check, which native loops
// (indexOf over a huge length, say) make without running any bytecode. The
// clock is read once per 65536 steps, and only inside a call.
extern "C" int quellbo_script_step(void* udata) {
  auto* heap = static_cast<quellbo::data::ScriptHeap*>(udata);
  if (heap == nullptr || !heap->inCall || (++heap->steps & 0xFFFF) != 0) return 0;
  return quellbo::data::Clock::now() >= heap->deadline ? 1 : 0;
}

namespace quellbo::data {

namespace {

// Every block carries its size in front of it so that the heap's total can be
// kept; the header keeps the block aligned for any type.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::size_t& blockSize(void* base) { return *static_cast<std::size_t*>(base); }

void* cappedAlloc(void* udata, duk_size_t size) {
  auto* heap = static_cast<ScriptHeap*>(udata);
  if (size > heap->memoryCap - heap->memoryInUse) return nullptr;
  void* base = std::malloc(kHeader + size);
  if (base == nullptr) return nullptr;
  blockSize(base) = size;
  heap->memoryInUse += size;
  return static_cast<char*>(base) + kHeader;
}

void cappedFree(void* udata, void* ptr) {
  if (ptr == nullptr) return;
  auto* heap = static_cast<ScriptHeap*>(udata);
  void* base = static_cast<char*>(ptr) - kHeader;
  heap->memoryInUse -= blockSize(base);
  std::free(base);
}

void* cappedRealloc(void* udata, void* ptr, duk_size_t size) {
  if (ptr == nullptr) return cappedAlloc(udata, size);
  if (size == 0) {
    cappedFree(udata, ptr);
    return nullptr;
  }
  auto* heap = static_cast<ScriptHeap*>(udata);
  void* base = static_cast<char*>(ptr) - kHeader;
  const std::size_t old = blockSize(base);
  if (size > old && size - old > heap->memoryCap - heap->memoryInUse) return nullptr;
  void* grown = std::realloc(base, kHeader + size);
  if (grown == nullptr) return nullptr;
  blockSize(grown) = size;
  heap->memoryInUse = heap->memoryInUse - old + size;
  return static_cast<char*>(grown) + kHeader;
}

// What one protected call does and what it hands back. Every Duktape call
// that can throw runs inside duk_safe_call, so no error (a script error, an
// exhausted memory cap, the time check) ever reaches the fatal handler.
enum class Action { AddCode, Eval, EvalText, EvalNumber, EvalTruth, Compile, RunBytecode };

struct Call {
  Action action;
  std::string_view source;
  const Bytes* bytecode = nullptr;
  double number = 0;
  bool truth = false;
};

void readNumber(duk_context* ctx, Call& call) {
  switch (duk_get_type(ctx, -1)) {
    case DUK_TYPE_NUMBER:
      call.number = duk_get_number(ctx, -1);
      return;
    case DUK_TYPE_STRING: {
      const double value = duk_to_number(ctx, -1);
      call.number = std::isnan(value) ? 0 : value;
      return;
    }
    case DUK_TYPE_BOOLEAN:
      call.number = duk_get_boolean(ctx, -1) ? 1 : 0;
      return;
    default:
      call.number = 0;
  }
}

duk_ret_t runCall(duk_context* ctx, void* udata) {
  auto& call = *static_cast<Call*>(udata);
  switch (call.action) {
    case Action::AddCode:
      duk_compile_lstring(ctx, 0, call.source.data(), call.source.size());
      duk_call(ctx, 0);
      return 1;
    case Action::Compile:
      duk_compile_lstring(ctx, 0, call.source.data(), call.source.size());
      duk_dump_function(ctx);
      return 1;
    case Action::RunBytecode: {
      void* buffer = duk_push_fixed_buffer(ctx, call.bytecode->size());
      std::memcpy(buffer, call.bytecode->data(), call.bytecode->size());
      duk_load_function(ctx);
      duk_call(ctx, 0);
      return 1;
    }
    default:
      break;
  }
  duk_eval_lstring(ctx, call.source.data(), call.source.size());
  switch (call.action) {
    case Action::EvalText:
      if (duk_is_null_or_undefined(ctx, -1)) {
        duk_pop(ctx);
        duk_push_string(ctx, "");
        return 1;
      }
      duk_to_string(ctx, -1);
      return 1;
    case Action::EvalNumber:
      readNumber(ctx, call);
      return 1;
    case Action::EvalTruth:
      call.truth = duk_to_boolean(ctx, -1) != 0;
      return 1;
    default:
      return 1;
  }
}

void appendUtf8(std::string& out, unsigned codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

unsigned byteAt(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

bool isContinuation(std::string_view s, std::size_t i) { return i < s.size() && (byteAt(s, i) & 0xC0) == 0x80; }

// The surrogate encoded as ED A0..BF xx at i, or 0 when there is none.
unsigned surrogateAt(std::string_view s, std::size_t i) {
  if (i + 2 >= s.size() || byteAt(s, i) != 0xED || byteAt(s, i + 1) < 0xA0 || !isContinuation(s, i + 1) ||
      !isContinuation(s, i + 2)) {
    return 0;
  }
  return 0xD000 | ((byteAt(s, i + 1) & 0x3F) << 6) | (byteAt(s, i + 2) & 0x3F);
}

}  // namespace

std::string utf8ToCesu8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned lead = byteAt(utf8, i);
    if (lead >= 0xF0 && lead <= 0xF4 && isContinuation(utf8, i + 1) && isContinuation(utf8, i + 2) &&
        isContinuation(utf8, i + 3)) {
      const unsigned codePoint = ((lead & 0x07) << 18) | ((byteAt(utf8, i + 1) & 0x3F) << 12) |
                                 ((byteAt(utf8, i + 2) & 0x3F) << 6) | (byteAt(utf8, i + 3) & 0x3F);
      if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
        const unsigned offset = codePoint - 0x10000;
        appendUtf8(out, 0xD800 | (offset >> 10));
        appendUtf8(out, 0xDC00 | (offset & 0x3FF));
        i += 3;
        continue;
      }
    }
    out += utf8[i];
  }
  return out;
}

std::string cesu8ToUtf8(std::string_view cesu8) {
  std::string out;
  out.reserve(cesu8.size());
  for (std::size_t i = 0; i < cesu8.size(); ++i) {
    const unsigned high = surrogateAt(cesu8, i);
    if (high == 0) {
      out += cesu8[i];
      continue;
    }
    const unsigned low = surrogateAt(cesu8, i + 3);
    if (high < 0xDC00 && low >= 0xDC00) {
      appendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
      i += 5;
      continue;
    }
    appendUtf8(out, 0xFFFD);
    i += 2;
  }
  return out;
}

ScriptEngine::ScriptEngine(std::size_t memoryCap, int timeCapMs) : m_heap(std::make_unique<ScriptHeap>()) {
  m_heap->memoryCap = memoryCap;
  m_heap->timeCap = std::chrono::milliseconds(timeCapMs);
  m_heap->context = duk_create_heap(cappedAlloc, cappedRealloc, cappedFree, m_heap.get(), nullptr);
}

ScriptEngine::~ScriptEngine() {
  if (m_heap->context != nullptr) duk_destroy_heap(m_heap->context);
}

bool ScriptEngine::isValid() const { return m_heap->context != nullptr; }

std::size_t ScriptEngine::memoryInUse() const { return m_heap->memoryInUse; }

namespace {

// Runs one call under the time cap; on success the call's value is left on
// the stack for the caller to read, on failure nothing is.
bool protectedRun(ScriptHeap& heap, Call& call) {
  if (heap.context == nullptr) return false;
  heap.deadline = Clock::now() + heap.timeCap;
  heap.inCall = true;
  const duk_int_t rc = duk_safe_call(heap.context, runCall, &call, 0, 1);
  heap.inCall = false;
  heap.deadline = Clock::time_point::min();
  if (rc == DUK_EXEC_SUCCESS) return true;
  duk_pop(heap.context);
  return false;
}

std::string engineSource(const Text& code) { return utf8ToCesu8(net::toUtf8(code)); }

}  // namespace

bool ScriptEngine::addCode(const Text& code) {
  const std::string source = engineSource(code);
  Call call{Action::AddCode, source};
  if (!protectedRun(*m_heap, call)) return false;
  duk_pop(m_heap->context);
  return true;
}

bool ScriptEngine::eval(const Text& code) {
  const std::string source = engineSource(code);
  Call call{Action::Eval, source};
  if (!protectedRun(*m_heap, call)) return false;
  duk_pop(m_heap->context);
  return true;
}

Text ScriptEngine::evalText(const Text& code) {
  const std::string source = engineSource(code);
  Call call{Action::EvalText, source};
  if (!protectedRun(*m_heap, call)) return {};
  duk_size_t length = 0;
  const char* value = duk_get_lstring(m_heap->context, -1, &length);
  std::string cesu8 = value != nullptr ? std::string(value, length) : std::string();
  duk_pop(m_heap->context);
  return net::fromUtf8(cesu8ToUtf8(cesu8));
}

double ScriptEngine::evalNumber(const Text& code) {
  const std::string source = engineSource(code);
  Call call{Action::EvalNumber, source};
  if (!protectedRun(*m_heap, call)) return 0;
  duk_pop(m_heap->context);
  return call.number;
}

bool ScriptEngine::evalTruth(const Text& code) {
  const std::string source = engineSource(code);
  Call call{Action::EvalTruth, source};
  if (!protectedRun(*m_heap, call)) return false;
  duk_pop(m_heap->context);
  return call.truth;
}

Bytes ScriptEngine::compileProgram(std::string_view utf8Source) {
  const std::string source = utf8ToCesu8(utf8Source);
  Call call{Action::Compile, source};
  if (!protectedRun(*m_heap, call)) return {};
  duk_size_t size = 0;
  const void* data = duk_get_buffer_data(m_heap->context, -1, &size);
  Bytes bytecode;
  if (data != nullptr)
    bytecode.assign(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size);
  duk_pop(m_heap->context);
  return bytecode;
}

bool ScriptEngine::runBytecode(const Bytes& bytecode) {
  if (bytecode.empty()) return false;
  Call call{Action::RunBytecode, {}, &bytecode};
  if (!protectedRun(*m_heap, call)) return false;
  duk_pop(m_heap->context);
  return true;
}

}  // namespace quellbo::data
