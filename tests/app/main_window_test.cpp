#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextDocument>
#include <map>

#include "app/handlers.h"
#include "net/encodings.h"
#include "platform/services_qt.h"
#include "tests/support/qt_application.h"

namespace quellbo::app {
namespace {

using platform::Form;
using platform::fromQString;
using platform::toQString;

enum class Kind { Label, Edit, MultiEdit, Button, Group };

struct Row {
  Kind kind;
  const char* name;
  const char* parent;  // "" is the window
  int x, y, width, height;
  const char* text;  // nullptr: the maker's choice, any non-empty text
};

// The window as designed, written out independently of the program's tables.
// clang-format off
constexpr Row kDesign[] = {
  {Kind::Label,     "标签3",   "", 64, 16, 64, 24, "待转换内容"},
  {Kind::MultiEdit, "编辑框1", "", 16, 48, 180, 312, ""},
  {Kind::Button,    "按钮1",   "", 240, 48, 80, 40, "转换→"},
  {Kind::Label,     "标签14",  "", 256, 136, 64, 16, "输出提醒"},
  {Kind::MultiEdit, "编辑框8", "", 208, 160, 152, 160, ""},
  {Kind::Button,    "按钮9",   "", 240, 336, 88, 24, ""},
  {Kind::Label,     "标签4",   "", 416, 16, 80, 24, "转换完毕内容"},
  {Kind::MultiEdit, "编辑框2", "", 368, 48, 180, 312, ""},
  {Kind::Group,     "分组框2", "", 568, 16, 472, 344, "数据配置"},
  {Kind::Label,     "appkey",  "", 576, 40, 40, 16, "appkey"},
  {Kind::Label,     "sid",     "", 576, 72, 32, 24, "sid"},
  {Kind::Label,     "pid",     "", 576, 112, 24, 24, "pid"},
  {Kind::Edit,      "编辑框3", "", 624, 32, 200, 24, ""},
  {Kind::Edit,      "编辑框4", "", 624, 72, 200, 24, ""},
  {Kind::Edit,      "编辑框5", "", 624, 112, 200, 24, ""},
  {Kind::Group,     "分组框1", "", 728, 368, 320, 144, "自定义口令"},
  {Kind::Label,     "标签1",   "", 736, 400, 64, 24, "自定义文字"},
  {Kind::Edit,      "编辑框6", "", 816, 400, 216, 24, "%e6%9c%ac%e7%be%a4%e4%b8%93%e9%a1%b9%e4%bc%98%e6%83%a0"},
  {Kind::Label,     "标签2",   "", 736, 440, 72, 24, "自定义图片"},
  {Kind::Edit,      "编辑框7", "", 816, 440, 216, 24, nullptr},
  {Kind::Group,     "分组框3", "", 8, 368, 696, 240, "微信发单"},
  {Kind::Label,     "标签16",  "", 744, 528, 112, 24, nullptr},
  {Kind::Label,     "标签17",  "", 744, 568, 96, 24, nullptr},
  {Kind::Label,     "标签15",  "", 896, 536, 64, 40, "当前版本："},
  {Kind::Edit,      "编辑框14", "", 960, 544, 48, 24, "2.1"},
  {Kind::Label,     "标签9",   "分组框1", 48, 104, 232, 24,
   "注意：敏感字眼可能会生成的口令无法识别\r\n请使用Urlencode编码！！！！"},
  {Kind::Button,    "按钮3",   "分组框2", 280, 40, 176, 32, "注册api/获取appkey/获取sid"},
  {Kind::Label,     "标签8",   "分组框2", 16, 144, 64, 72, "京粉cookie"},
  {Kind::MultiEdit, "编辑框13", "分组框2", 96, 144, 272, 72, ""},
  {Kind::Button,    "按钮8",   "分组框2", 376, 152, 88, 56, "京粉cookie获取方法"},
  {Kind::Label,     "标签12",  "分组框2", 24, 224, 176, 88,
   "注意事项：\r\nappkey、sid、pid配置项为淘宝转链所需\r\n京粉cookie配置项为京东转链所需\r\n请按需配置"},
  {Kind::Label,     "标签13",  "分组框2", 248, 224, 208, 112,
   "一些说明\r\n1.因能力有限，暂不能直接通过授权转链，所以只能麻烦大家按照步骤注册一下获取参数了\r\n"
   "2.点击【注册api/获取ppkey/获取sid】按步骤完成即可获取"},
  {Kind::Group,     "分组框5", "分组框3", 16, 24, 176, 192, "群号/发单人配置"},
  {Kind::Edit,      "编辑框10", "分组框3", 32, 64, 112, 24, ""},
  {Kind::Group,     "分组框4", "分组框3", 208, 24, 376, 64, "酷Q插件配置"},
  {Kind::Button,    "按钮4",   "分组框3", 232, 40, 64, 40, "插件路径"},
  {Kind::Edit,      "编辑框9", "分组框3", 304, 48, 176, 24, ""},
  {Kind::Button,    "按钮7",   "分组框3", 488, 40, 88, 40, "下载酷Q+插件"},
  {Kind::Button,    "按钮5",   "分组框3", 600, 16, 80, 32, "开始发单"},
  {Kind::Button,    "按钮6",   "分组框3", 600, 64, 80, 32, "停止发单"},
  {Kind::Label,     "标签10",  "分组框3", 200, 112, 216, 112,
   "使用手册，请按步骤操作\r\n1.点击【下载酷Q+插件】按钮，在弹出页面中下载并解压酷Q\r\n"
   "2.运行酷Q，右键酷Q悬浮窗 “应用→应用管理→选中消息记录→启用”\r\n3.填写群号/发单人配置栏内的3项\r\n"
   "4.点击【插件路径】选择酷Q目录下的“\\data\\app\\com.talvek.msglog”路径\r\n5.点击【开始发单】"},
  {Kind::Label,     "标签11",  "分组框3", 440, 112, 240, 112,
   "注意事项\r\n1.如果未找到“\\data\\app\\com.talvek.msglog”路径，可能是你未启动“消息记录”的插件\r\n"
   "2.请在插件采集到消息后再点击“开始发单”\r\n3.目前仅支持采集一个发单人的消息\r\n"
   "3.即使采集群内只有一人发单也请填写其号码\r\n\r\n以上问题未经过测试，可能出现各种BUG"},
  {Kind::Label,     "标签6",   "分组框5", 40, 16, 64, 24, "采集QQ群号"},
  {Kind::Label,     "标签7",   "分组框5", 40, 72, 64, 16, "采集发单号"},
  {Kind::Edit,      "编辑框11", "分组框5", 16, 96, 112, 24, ""},
  {Kind::Label,     "标签5",   "分组框5", 32, 136, 88, 16, "欲发送微信群名"},
  {Kind::Edit,      "编辑框12", "分组框5", 16, 160, 112, 24, ""},
};
// clang-format on

const char* kindName(Kind kind) {
  switch (kind) {
    case Kind::Label:
      return "标签";
    case Kind::Edit:
    case Kind::MultiEdit:
      return "编辑框";
    case Kind::Button:
      return "按钮";
    case Kind::Group:
      return "分组框";
  }
  return "";
}

// What the control shows, with Qt's line breaks turned back into CR LF.
QString shownText(QWidget* control) {
  QString text;
  if (auto* w = qobject_cast<QLabel*>(control)) text = w->text();
  if (auto* w = qobject_cast<QPushButton*>(control)) text = w->text();
  if (auto* w = qobject_cast<QGroupBox*>(control)) text = w->title();
  if (auto* w = qobject_cast<QLineEdit*>(control)) text = w->text();
  if (auto* w = qobject_cast<QPlainTextEdit*>(control)) {
    text = w->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  }
  return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

bool isKind(QWidget* control, Kind kind) {
  switch (kind) {
    case Kind::Label:
      return qobject_cast<QLabel*>(control) != nullptr;
    case Kind::Edit:
      return qobject_cast<QLineEdit*>(control) != nullptr;
    case Kind::MultiEdit:
      return qobject_cast<QPlainTextEdit*>(control) != nullptr;
    case Kind::Button:
      return qobject_cast<QPushButton*>(control) != nullptr;
    case Kind::Group:
      return qobject_cast<QGroupBox*>(control) != nullptr;
  }
  return false;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::startQtApplication(test::QtDisplay::Offscreen));
    platform::installServices(&m_services);
    m_window = new MainWindow(MainWindow::Events{});
    m_services.showWindow(m_window, false);
  }
  void TearDown() override {
    delete m_window.data();
    platform::installServices(nullptr);
  }

  platform::QtServices m_services;
  QPointer<MainWindow> m_window;
};

TEST_F(MainWindowTest, HasEveryControlOfTheDesignInPlace) {
  EXPECT_EQ(m_window->windowTitle(), toQString("Quellbo转链工具"));
  EXPECT_EQ(m_window->pos(), QPoint(50, 50));
  EXPECT_EQ(m_window->size(), QSize(1062, 657));

  std::map<Text, std::size_t> perKind;
  for (const Row& row : kDesign) {
    SCOPED_TRACE(net::toUtf8(row.name));
    ++perKind[kindName(row.kind)];
    auto* control = m_window->findChild<QWidget*>(toQString(row.name));
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(isKind(control, row.kind)) << control->metaObject()->className();
    EXPECT_EQ(fromQString(control->parentWidget()->objectName()), Text(row.parent));
    EXPECT_EQ(control->parentWidget() == m_window, Text(row.parent).empty());
    EXPECT_EQ(control->geometry(), QRect(row.x, row.y, row.width, row.height));
    EXPECT_TRUE(control->isVisible());
    if (row.text != nullptr) {
      EXPECT_EQ(fromQString(shownText(control)), Text(row.text));
    } else {
      EXPECT_FALSE(shownText(control).isEmpty());
    }
    // A button is wired exactly when the program has a handler for it
    // (disconnecting tells; the window is made afresh for each test).
    if (auto* button = qobject_cast<QPushButton*>(control)) {
      const bool wired = QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr);
      EXPECT_EQ(wired, clickHandler(Form::Main, row.name) != nullptr);
    }
  }
  // Nothing beyond the design: each kind has exactly the designed controls.
  for (const auto& [kind, count] : perKind) {
    EXPECT_EQ(m_services.findControls(Form::Main, kind).size(), count) << net::toUtf8(kind);
  }
}

TEST_F(MainWindowTest, ListsTheFourteenEditBoxesInFormOrder) {
  const TextList expected = {"编辑框1", "编辑框8",  "编辑框2",  "编辑框3",  "编辑框4", "编辑框5",  "编辑框6",
                             "编辑框7", "编辑框14", "编辑框13", "编辑框10", "编辑框9", "编辑框11", "编辑框12"};
  EXPECT_EQ(platform::findControls(Form::Main, platform::kEditBoxKind), expected);
  EXPECT_TRUE(platform::findControls(Form::Main, "超文本浏览框").empty());
  EXPECT_TRUE(platform::findControls(Form::Credentials, platform::kEditBoxKind).empty());
}

TEST_F(MainWindowTest, ControlTextsCrossTheBoundaryIntact) {
  const Text nbsp = net::fromUtf8("\xC2\xA0");
  const Text emoji = net::fromUtf8("\xF0\x9F\x98\x80");  // beyond code page 936
  struct Case {
    const char* control;
    Text written;
    QString shown;  // what the widget holds
    Text read;
  };
  const Case cases[] = {
      // Multi-line boxes show CR LF as line breaks and hand CR LF back.
      {"编辑框1", "第一行\r\n第二行\r\n", QStringLiteral("\u7B2C\u4E00\u884C\n\u7B2C\u4E8C\u884C\n"),
       "第一行\r\n第二行\r\n"},
      {"编辑框13", "a=1;\r\n\r\nb=2", QStringLiteral("a=1;\n\nb=2"), "a=1;\r\n\r\nb=2"},
      // A bare LF from a record file still breaks the line, and comes back as CR LF.
      {"编辑框2", "x\ny", QStringLiteral("x\ny"), "x\r\ny"},
      {"编辑框8", "a" + nbsp + "b" + emoji, QStringLiteral("a\u00A0b\U0001F600"), "a" + nbsp + "b" + emoji},
      // Single-line boxes keep what they are given, however long.
      {"编辑框9", "/tmp/【群消息】【群号】.txt",
       QStringLiteral("/tmp/\u3010\u7FA4\u6D88\u606F\u3011\u3010\u7FA4\u53F7\u3011.txt"),
       "/tmp/【群消息】【群号】.txt"},
      {"编辑框3", Text(40000, 'k'), QString(40000, QLatin1Char('k')), Text(40000, 'k')},
      // Captions too.
      {"标签3", "甲\r\n乙", QStringLiteral("\u7532\n\u4E59"), "甲\r\n乙"},
      {"按钮1", "转换", QStringLiteral("\u8F6C\u6362"), "转换"},
      {"分组框3", "微信", QStringLiteral("\u5FAE\u4FE1"), "微信"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(net::toUtf8(c.control));
    platform::writeControlText(Form::Main, c.control, c.written);
    auto* control = m_window->findChild<QWidget*>(toQString(c.control));
    ASSERT_NE(control, nullptr);
    QString shown = shownText(control);
    EXPECT_EQ(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), c.shown);
    EXPECT_EQ(platform::readControlText(Form::Main, c.control), c.read);
  }
  // A single-line box shows the start of a long text, as the user typed it.
  EXPECT_EQ(m_window->findChild<QLineEdit*>(toQString("编辑框3"))->cursorPosition(), 0);

  // Unknown names read as empty and writing to them changes nothing.
  platform::writeControlText(Form::Main, "编辑框99", "x");
  EXPECT_EQ(platform::readControlText(Form::Main, "编辑框99"), "");
  EXPECT_EQ(platform::readControlText(Form::Main, ""), "");
  EXPECT_EQ(platform::readControlText(Form::Credentials, "按钮1"), "");
}

TEST_F(MainWindowTest, ControlSizesAndClientSize) {
  EXPECT_EQ(m_services.clientSize(Form::Main), (platform::Size{1062, 657}));
  m_services.setControlSize(Form::Main, "编辑框13", {300, 100});
  EXPECT_EQ(m_window->findChild<QWidget*>(toQString("编辑框13"))->size(), QSize(300, 100));
  EXPECT_EQ(m_services.clientSize(Form::Credentials), (platform::Size{0, 0}));
}

}  // namespace
}  // namespace quellbo::app
