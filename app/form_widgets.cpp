#include "app/form_widgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextLayout>
#include <limits>
#include <memory>
#include <vector>

#include "app/handlers.h"

namespace quellbo::app {

namespace {

// The form's captions were sized for a 12-pixel font with 12-pixel lines. A
// caption that does not fit its control that way is set smaller, down to a
// size that stays readable, rather than cut off.
constexpr int kSmallestCaptionPixels = 9;

struct CaptionLines {
  std::vector<std::unique_ptr<QTextLayout>> paragraphs;
  int lineHeight = 0;
  int height = 0;
};

CaptionLines layOutCaption(const QString& text, QFont font, int width) {
  CaptionLines lines;
  lines.lineHeight = font.pixelSize() + 1;
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  int y = 0;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    auto layout = std::make_unique<QTextLayout>(paragraph, font);
    layout->setTextOption(option);
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
      line.setLineWidth(width);
      line.setPosition(QPointF(0, y));
      y += lines.lineHeight;
    }
    layout->endLayout();
    lines.paragraphs.push_back(std::move(layout));
  }
  lines.height = y;
  return lines;
}

CaptionLines fitCaption(const QString& text, const QFont& base, QSize box) {
  QFont font = base;
  const int largest = base.pixelSize() > 0 ? base.pixelSize() : 12;
  for (int pixels = largest;; --pixels) {
    font.setPixelSize(pixels);
    CaptionLines lines = layOutCaption(text, font, box.width());
    if (lines.height <= box.height() || pixels <= kSmallestCaptionPixels) return lines;
  }
}

// Draws the lines in box, each centred when centred is set, else from the left.
void drawCaption(QPainter& painter, const CaptionLines& lines, QRect box, bool centred, int top) {
  for (const auto& layout : lines.paragraphs) {
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const qreal x = centred ? (box.width() - line.naturalTextWidth()) / 2 : 0;
      line.draw(&painter, QPointF(box.left() + x, box.top() + top));
    }
  }
}

// A label of the form: plain text, broken into lines, from the top left.
class CaptionLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const CaptionLines lines = fitCaption(text(), font(), size());
    drawCaption(painter, lines, rect(), false, 0);
  }
};

// A push button whose caption breaks into lines when it is too wide.
class CaptionButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect box = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const CaptionLines lines = fitCaption(text(), font(), box.size());
    painter.setPen(option.palette.color(QPalette::ButtonText));
    drawCaption(painter, lines, box, true, (box.height() - lines.height) / 2);
  }
};

QString captionText(const char* text) {
  return platform::toQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QWidget* createControl(const ControlSpec& design, platform::Form form, QWidget* parent) {
  const Text kind = design.kind;
  if (kind == kEditBox && design.multiline) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setPlainText(captionText(design.text));
    edit->setTabChangesFocus(true);
    return edit;
  }
  if (kind == kEditBox) {
    auto* edit = new QLineEdit(platform::toQString(design.text), parent);
    // Qt's default cap would cut a long stored value.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setCursorPosition(0);
    return edit;
  }
  if (kind == kLabel) {
    auto* label = new CaptionLabel(captionText(design.text), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
  }
  if (kind == kGroupBox) return new QGroupBox(platform::toQString(design.text), parent);
  if (kind == kButton) {
    auto* button = new CaptionButton(captionText(design.text), parent);
    if (const Handler handler = clickHandler(form, design.name)) {
      QObject::connect(button, &QPushButton::clicked, button, [handler] { platform::FormWindow::runHandler(handler); });
    }
    return button;
  }
  return nullptr;
}

}  // namespace

void buildForm(platform::FormWindow& window, const FormSpec& form) {
  window.setWindowTitle(platform::toQString(form.title));
  window.move(form.x, form.y);
  window.resize(form.width, form.height);
  for (const ControlSpec& design : form.controls) {
    QWidget* parent = &window;
    if (design.parent[0] != '\0') {
      if (auto* group = window.findChild<QGroupBox*>(platform::toQString(design.parent))) parent = group;
    }
    QWidget* control = createControl(design, window.form(), parent);
    if (control == nullptr) continue;
    control->setObjectName(platform::toQString(design.name));
    control->setGeometry(design.x, design.y, design.width, design.height);
    window.addControl(control, design.kind);
  }
}

}  // namespace quellbo::app
