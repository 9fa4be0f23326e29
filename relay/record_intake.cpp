#include "relay/record_intake.h"

#include "app/program_values.h"
#include "platform/files.h"
#include "platform/services.h"

namespace quellbo::relay {

using namespace platform;

void choosePluginFolder() {
  auto& values = app::programValues();
  writeControlText(Form::Main, "编辑框9", browseForFolder("请选择酷Q目录下的\\data\\app\\com.talvek.msglog文件夹"));
  values.recordPathTemplate = readControlText(Form::Main, "编辑框9") + kRecordFileTemplate;
  showMessage(values.recordPathTemplate);
  values.recordFilePath = replaceText(values.recordPathTemplate, "群号", readControlText(Form::Main, "编辑框10"));
  showMessage(values.recordFilePath);
  writeControlText(Form::Main, "编辑框9", values.recordFilePath);
}

Text takeSenderMessage(const Text& fileText, const Text& senderNumber) {
  const TextList pieces = splitText(fileText, senderNumber + "】");
  return pieces.size() >= 2 ? pieces[1] : Text{};
}

TextList takeSenderMessages(const Text& fileText, const Text& senderNumber) {
  TextList pieces = splitText(fileText, senderNumber + "】");
  if (pieces.size() < 2) return {};
  pieces.erase(pieces.begin());
  return pieces;
}

bool isRecordFile(const Text& path) {
  if (!isRegularFile(path)) return false;
  const int slash = findTextReverse(path, "/");
  const Text name = slash == -1 ? path : midText(path, slash + 1, textLength(path));
  const Text head = "【群消息】【";
  const Text tail = "】.txt";
  return textLength(name) >= textLength(head) + textLength(tail) && leftText(name, textLength(head)) == head &&
         rightText(name, textLength(tail)) == tail;
}

}  // namespace quellbo::relay
