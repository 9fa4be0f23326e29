#pragma once

namespace quellbo::assist {

// The browser control of the credentials window and where it stands.
inline constexpr const char* kBrowserControl = "超文本浏览框1";
inline constexpr int kBrowserTop = 40;

// Pages of the conversion service's web site, below its 网站 address.
inline constexpr const char* kRegisterPage = "/user/user_register.html";
inline constexpr const char* kLoginPage = "/user/user_login.html";
inline constexpr const char* kAppkeyPage = "/user/open/open_appkey.aspx";
inline constexpr const char* kSidPage = "/user/shouquan.html";

inline constexpr const char* kRememberCookie = "记得勾选【记住COOKIE】";

// How long the user has to copy a value before the clipboard is read.
inline constexpr int kCopyDelayMs = 5000;

// Main window, "注册api/获取appkey/获取sid": opens the assistant modally.
void openCredentialsWindow();
// The assistant fills the screen and shows the registration page.
void onCredentialsWindowCreated();
// Every loaded document refits the browser control to the window.
void onBrowserDocumentReady(int frame);
// "登录".
void openLoginPage();
// "获取appkey" and "获取sid": the value the user copies goes into the main
// window's appkey or sid box.
void fetchAppkey();
void fetchSid();

}  // namespace quellbo::assist
