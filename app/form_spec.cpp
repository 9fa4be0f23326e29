#include "app/form_spec.h"

namespace quellbo::app {

namespace {

// clang-format off
constexpr ControlSpec kMainControls[] = {
  {kLabel,    "标签3",   "", 64, 16, 64, 24, "待转换内容", false},
  {kEditBox,  "编辑框1", "", 16, 48, 180, 312, "", true},
  {kButton,   "按钮1",   "", 240, 48, 80, 40, "转换→", false},
  {kLabel,    "标签14",  "", 256, 136, 64, 16, "输出提醒", false},
  {kEditBox,  "编辑框8", "", 208, 160, 152, 160, "", true},
  {kButton,   "按钮9",   "", 240, 336, 88, 24, "", false},
  {kLabel,    "标签4",   "", 416, 16, 80, 24, "转换完毕内容", false},
  {kEditBox,  "编辑框2", "", 368, 48, 180, 312, "", true},
  {kGroupBox, "分组框2", "", 568, 16, 472, 344, "数据配置", false},
  {kLabel,    "appkey",  "", 576, 40, 40, 16, "appkey", false},
  {kLabel,    "sid",     "", 576, 72, 32, 24, "sid", false},
  {kLabel,    "pid",     "", 576, 112, 24, 24, "pid", false},
  {kEditBox,  "编辑框3", "", 624, 32, 200, 24, "", false},
  {kEditBox,  "编辑框4", "", 624, 72, 200, 24, "", false},
  {kEditBox,  "编辑框5", "", 624, 112, 200, 24, "", false},
  {kGroupBox, "分组框1", "", 728, 368, 320, 144, "自定义口令", false},
  {kLabel,    "标签1",   "", 736, 400, 64, 24, "自定义文字", false},
  {kEditBox,  "编辑框6", "", 816, 400, 216, 24, "%e6%9c%ac%e7%be%a4%e4%b8%93%e9%a1%b9%e4%bc%98%e6%83%a0", false},
  {kLabel,    "标签2",   "", 736, 440, 72, 24, "自定义图片", false},
  {kEditBox,  "编辑框7", "", 816, 440, 216, 24, "https%3A%2F%2Fimg.quellbo.example%2Flogo%2Fdeal.png", false},
  {kGroupBox, "分组框3", "", 8, 368, 696, 240, "微信发单", false},
  {kLabel,    "标签16",  "", 744, 528, 112, 24, "Quellbo团队出品", false},
  {kLabel,    "标签17",  "", 744, 568, 96, 24, "祝您发单愉快", false},
  {kLabel,    "标签15",  "", 896, 536, 64, 40, "当前版本：", false},
  {kEditBox,  "编辑框14", "", 960, 544, 48, 24, "2.1", false},
  // Inside 分组框1.
  {kLabel,    "标签9",   "分组框1", 48, 104, 232, 24,
   "注意：敏感字眼可能会生成的口令无法识别\r\n请使用Urlencode编码！！！！", false},
  // Inside 分组框2.
  {kButton,   "按钮3",   "分组框2", 280, 40, 176, 32, "注册api/获取appkey/获取sid", false},
  {kLabel,    "标签8",   "分组框2", 16, 144, 64, 72, "京粉cookie", false},
  {kEditBox,  "编辑框13", "分组框2", 96, 144, 272, 72, "", true},
  {kButton,   "按钮8",   "分组框2", 376, 152, 88, 56, "京粉cookie获取方法", false},
  {kLabel,    "标签12",  "分组框2", 24, 224, 176, 88,
   "注意事项：\r\nappkey、sid、pid配置项为淘宝转链所需\r\n京粉cookie配置项为京东转链所需\r\n请按需配置", false},
  {kLabel,    "标签13",  "分组框2", 248, 224, 208, 112,
   "一些说明\r\n1.因能力有限，暂不能直接通过授权转链，所以只能麻烦大家按照步骤注册一下获取参数了\r\n"
   "2.点击【注册api/获取ppkey/获取sid】按步骤完成即可获取", false},
  // Inside 分组框3.
  {kGroupBox, "分组框5", "分组框3", 16, 24, 176, 192, "群号/发单人配置", false},
  {kEditBox,  "编辑框10", "分组框3", 32, 64, 112, 24, "", false},
  {kGroupBox, "分组框4", "分组框3", 208, 24, 376, 64, "酷Q插件配置", false},
  {kButton,   "按钮4",   "分组框3", 232, 40, 64, 40, "插件路径", false},
  {kEditBox,  "编辑框9", "分组框3", 304, 48, 176, 24, "", false},
  {kButton,   "按钮7",   "分组框3", 488, 40, 88, 40, "下载酷Q+插件", false},
  {kButton,   "按钮5",   "分组框3", 600, 16, 80, 32, "开始发单", false},
  {kButton,   "按钮6",   "分组框3", 600, 64, 80, 32, "停止发单", false},
  {kLabel,    "标签10",  "分组框3", 200, 112, 216, 112,
   "使用手册，请按步骤操作\r\n1.点击【下载酷Q+插件】按钮，在弹出页面中下载并解压酷Q\r\n"
   "2.运行酷Q，右键酷Q悬浮窗 “应用→应用管理→选中消息记录→启用”\r\n3.填写群号/发单人配置栏内的3项\r\n"
   "4.点击【插件路径】选择酷Q目录下的“\\data\\app\\com.talvek.msglog”路径\r\n5.点击【开始发单】", false},
  {kLabel,    "标签11",  "分组框3", 440, 112, 240, 112,
   "注意事项\r\n1.如果未找到“\\data\\app\\com.talvek.msglog”路径，可能是你未启动“消息记录”的插件\r\n"
   "2.请在插件采集到消息后再点击“开始发单”\r\n3.目前仅支持采集一个发单人的消息\r\n"
   "3.即使采集群内只有一人发单也请填写其号码\r\n\r\n以上问题未经过测试，可能出现各种BUG", false},
  // Inside 分组框5.
  {kLabel,    "标签6",   "分组框5", 40, 16, 64, 24, "采集QQ群号", false},
  {kLabel,    "标签7",   "分组框5", 40, 72, 64, 16, "采集发单号", false},
  {kEditBox,  "编辑框11", "分组框5", 16, 96, 112, 24, "", false},
  {kLabel,    "标签5",   "分组框5", 32, 136, 88, 16, "欲发送微信群名", false},
  {kEditBox,  "编辑框12", "分组框5", 16, 160, 112, 24, "", false},
};

constexpr ControlSpec kCredentialsControls[] = {
  {kButton,  "按钮1",     "", 0, 0, 88, 32, "登录", false},
  {kButton,  "按钮2",     "", 96, 0, 88, 32, "获取appkey", false},
  {kButton,  "按钮3",     "", 192, 0, 88, 32, "获取sid", false},
  {kBrowser, "超文本浏览框1", "", 0, 40, 336, 176, "", false},
};
// clang-format on

// The client area is the form's size, which leaves room for every control.
constexpr FormSpec kMainForm{"Quellbo转链工具", 50, 50, 1062, 657, kMainControls};
constexpr FormSpec kCredentialsForm{"", 50, 50, 718, 427, kCredentialsControls};

}  // namespace

const FormSpec& mainForm() { return kMainForm; }

const FormSpec& credentialsForm() { return kCredentialsForm; }

}  // namespace quellbo::app
