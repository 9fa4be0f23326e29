#pragma once

#include <span>

namespace quellbo::app {

// Kind names of the controls, as the forms and findControls use them.
inline constexpr const char* kLabel = "标签";
inline constexpr const char* kEditBox = "编辑框";
inline constexpr const char* kButton = "按钮";
inline constexpr const char* kGroupBox = "分组框";
inline constexpr const char* kBrowser = "超文本浏览框";

// One control of a form: where it stands inside its parent ("" is the
// window), its size and its caption or default content.
struct ControlSpec {
  const char* kind;
  const char* name;
  const char* parent;
  int x;
  int y;
  int width;
  int height;
  const char* text;
  bool multiline;
};

struct FormSpec {
  const char* title;
  int x;
  int y;
  int width;
  int height;
  std::span<const ControlSpec> controls;  // in form order
};

const FormSpec& mainForm();
const FormSpec& credentialsForm();

}  // namespace quellbo::app
