#include "relay/relay_loop.h"

#include <unistd.h>

#include "app/program_values.h"
#include "app/wait.h"
#include "convert/conversion.h"
#include "data/regex_matcher.h"
#include "platform/files.h"
#include "relay/chat_delivery.h"
#include "relay/record_intake.h"

namespace quellbo::relay {

using namespace platform;

namespace {

constexpr const char* kImageCodeStart = "[CQ:image,file=";
constexpr const char* kImageCodePattern = "\\[CQ:image(.*?)jpg\\]";

bool windowGone() { return !isWindowOpen(Form::Main); }

// Waits, and tells whether the main window went meanwhile.
bool waitAndCheck(int ms) {
  app::waitMs(ms);
  return windowGone();
}

// Takes the record file away under a private name in the same folder, so
// that what the plug-in records from now on lands in a new file, and
// returns its text. The taken file is deleted once read.
Text takeRecordFile(const Text& path) {
  const Text taken = path + ".relay-" + toText(static_cast<long long>(getpid()));
  if (!renameFile(path, taken)) return {};
  const Text text = readFileText(taken);
  deleteFile(taken);
  return text;
}

// Converts and delivers one message; false when the window went meanwhile.
bool relayMessage(data::RegexMatcher& matcher, const Text& message) {
  writeControlText(Form::Main, "编辑框1", message);
  const Text taken = readControlText(Form::Main, "编辑框1");
  if (findText(taken, kImageCodeStart) != -1) {
    matcher.search(kImageCodePattern, taken, false, true, true, true);
    writeControlText(Form::Main, "编辑框1", matcher.replace());
  }
  convert::runConversion();
  if (waitAndCheck(2000)) return false;
  deliverToChat();
  for (const char* box : {"编辑框1", "编辑框2", "编辑框8"}) {
    if (waitAndCheck(100)) return false;
    writeControlText(Form::Main, box, "");
  }
  return !waitAndCheck(100);
}

}  // namespace

void startRelay() {
  auto& values = app::programValues();
  data::RegexMatcher matcher;
  values.relayRunning = isRecordFile(readControlText(Form::Main, "编辑框9")) ? 1 : 0;
  showMessage(values.relayRunning == 1);
  while (values.relayRunning == 1 && !windowGone()) {
    const Text path = readControlText(Form::Main, "编辑框9");
    if (isRecordFile(path)) {
      // Every message of the file is relayed, also after a stop request:
      // the file is gone once taken.
      for (const auto& message : takeSenderMessages(takeRecordFile(path), readControlText(Form::Main, "编辑框11"))) {
        if (message.empty()) continue;
        if (!relayMessage(matcher, message)) return;
      }
    }
    if (waitAndCheck(100)) return;
  }
}

void stopRelay() { app::programValues().relayRunning = 0; }

}  // namespace quellbo::relay
