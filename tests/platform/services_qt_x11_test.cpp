#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <chrono>
#include <thread>

#include "platform/services_qt.h"
#include "tests/support/qt_application.h"

namespace quellbo::platform {
namespace {

// Another program on the same X display, with its own clipboard code: a Tk
// script run by the system's Python.
QProcess* startTk(const char* script) {
  auto* process = new QProcess;
  process->start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script)});
  return process;
}

// Handles our events (the clipboard is served from them) until it ends.
bool finish(QProcess& process, int limitMs) {
  const auto start = std::chrono::steady_clock::now();
  while (process.state() != QProcess::NotRunning) {
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limitMs)) {
      process.kill();
      process.waitForFinished();
      return false;
    }
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

class QtServicesX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::startQtApplication(test::QtDisplay::X11)) << "needs an X display: run under tools/with-xvfb.sh";
    installServices(&m_services);
  }
  void TearDown() override { installServices(nullptr); }

  QtServices m_services;
};

TEST_F(QtServicesX11Test, APasteInAnotherProgramIsAwaitedAndGetsTheText) {
  setClipboardText("第一行\r\n第二行");
  EXPECT_EQ(getClipboardText(), "第一行\r\n第二行");
  EXPECT_FALSE(m_services.waitForClipboardFetch(300)) << "nobody has pasted yet";

  QProcess* paste = startTk(
      "import sys, tkinter\n"
      "root = tkinter.Tk()\n"
      "root.withdraw()\n"
      "sys.stdout.buffer.write(root.clipboard_get().encode('utf-8'))\n");
  EXPECT_TRUE(m_services.waitForClipboardFetch(10000));
  ASSERT_TRUE(finish(*paste, 10000)) << paste->readAllStandardError().toStdString();
  // LF line breaks, as programs on this desktop expect.
  EXPECT_EQ(paste->readAllStandardOutput().toStdString(),
            "\xE7\xAC\xAC\xE4\xB8\x80\xE8\xA1\x8C\n\xE7\xAC\xAC\xE4\xBA\x8C\xE8\xA1\x8C");
  delete paste;
}

TEST_F(QtServicesX11Test, TextCopiedInAnotherProgramIsRead) {
  QProcess* copy = startTk(
      "import tkinter\n"
      "root = tkinter.Tk()\n"
      "root.withdraw()\n"
      "root.clipboard_clear()\n"
      "root.clipboard_append('appkey\\n\\u9177Q 2.1')\n"
      "root.update()\n"
      "print('copied', flush=True)\n"
      "root.after(10000, root.destroy)\n"
      "root.mainloop()\n");
  ASSERT_TRUE(copy->waitForReadyRead(10000)) << copy->readAllStandardError().toStdString();
  EXPECT_EQ(getClipboardText(), "appkey\r\n酷Q 2.1");
  copy->kill();
  copy->waitForFinished();
  delete copy;
}

}  // namespace
}  // namespace quellbo::platform
