#pragma once

#include "platform/text.h"

namespace quellbo::relay {

inline constexpr const char* kRecordFileTemplate = "/【群消息】【群号】.txt";

// "插件路径": composes the record file's path from the chosen folder and the
// group number into 编辑框9.
void choosePluginFolder();
// The first message of the sender: the text after the first "number】" up to
// the next one or the end.
Text takeSenderMessage(const Text& fileText, const Text& senderNumber);
// Every message of the sender, in order.
TextList takeSenderMessages(const Text& fileText, const Text& senderNumber);
// Only a file named like "【群消息】【…】.txt" is a record file.
bool isRecordFile(const Text& path);

}  // namespace quellbo::relay
