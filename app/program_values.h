#pragma once

#include "platform/services.h"

namespace quellbo::app {

// The values that live for the whole run.
struct ProgramValues {
  Text conversionInput;     // 编辑框1 as the latest conversion took it
  Text newShareToken;       // token of the latest Taobao conversion
  Text recordPathTemplate;  // plug-in folder + "/【群消息】【群号】.txt"
  Text recordFilePath;      // the template with the group number in it
  Text copiedSid;           // sid taken from the clipboard
  Text copiedAppkey;        // appkey taken from the clipboard
  int relayRunning = 0;
  platform::ForeignWindow chatWindow = 0;
};

ProgramValues& programValues();

}  // namespace quellbo::app
