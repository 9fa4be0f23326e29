#include "assist/credentials.h"

#include "app/program_values.h"
#include "app/remote_addresses.h"
#include "app/wait.h"
#include "platform/services.h"

namespace quellbo::assist {

namespace {

using platform::Form;

// What differs between fetching the appkey and the sid.
struct Credential {
  const char* page;
  const char* prompt;
  const char* confirmHead;
  const char* confirmTail;
  const char* done;
  Text app::ProgramValues::*holder;
  const char* target;  // edit box of the main window
};

constexpr Credential kAppkey{
    kAppkeyPage,
    "请手动复制appkey内容，5秒后自动弹窗",
    "已复制appkey   ",
    "如弹窗未出现appkey，请点击【确认】，否则请点击【取消】",
    "已自动填写至appkey栏",
    &app::ProgramValues::copiedAppkey,
    "编辑框3",
};

constexpr Credential kSid{
    kSidPage,
    "授权账号ID  即SID,请手动复制6位SID，5秒后自动弹窗",
    "已复制sid   ",
    "如弹窗未出现sid，请点击【确认】，否则请点击【取消】",
    "已自动填写至sid栏",
    &app::ProgramValues::copiedSid,
    "编辑框4",
};

Text pageAddress(const char* page) { return app::remoteAddresses().website + page; }

void navigate(const char* page) { platform::services().navigateBrowser(Form::Credentials, pageAddress(page)); }

// The user copies the value by hand while the wait keeps the browser alive;
// OK in the confirmation means the copy was not done yet and earns a second
// wait. Whatever the clipboard held last is written either way.
void fetchCredential(const Credential& credential) {
  navigate(credential.page);
  platform::showMessage(credential.prompt);
  app::waitMs(kCopyDelayMs);
  Text& holder = app::programValues().*credential.holder;
  holder = platform::getClipboardText();
  const int answer =
      platform::showMessage(credential.confirmHead + holder + credential.confirmTail, platform::kButtonsOkCancel);
  if (answer == platform::kAnswerOk) {
    app::waitMs(kCopyDelayMs);
    holder = platform::getClipboardText();
    platform::showMessage(credential.done);
  }
  platform::writeControlText(Form::Main, credential.target, holder);
}

}  // namespace

void openCredentialsWindow() { platform::services().openWindow(Form::Credentials, true); }

void onCredentialsWindowCreated() {
  platform::services().maximizeWindow(Form::Credentials);
  navigate(kRegisterPage);
}

void onBrowserDocumentReady(int) {
  platform::services().setControlSize(Form::Credentials, kBrowserControl,
                                      platform::services().clientSize(Form::Credentials));
}

void openLoginPage() {
  navigate(kLoginPage);
  platform::showMessage(kRememberCookie);
}

void fetchAppkey() { fetchCredential(kAppkey); }

void fetchSid() { fetchCredential(kSid); }

}  // namespace quellbo::assist
