#pragma once

namespace quellbo::assist {

inline constexpr const char* kOpeningBrowser = "即将打开浏览器";

// "下载酷Q+插件": the download page of the robot framework and its plug-in.
void openDownloadPage();
// "京粉cookie获取方法": how to get the JD union cookie.
void openCookieHelp();

}  // namespace quellbo::assist
