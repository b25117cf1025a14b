#include "tests/support_qt/modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace ulvo::testing {
namespace {

QString Plain(QString text) {
  return text.remove('&');
}

}  // namespace

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent) {
  qApp->installEventFilter(this);
}

ModalAnswerer::~ModalAnswerer() {
  qApp->removeEventFilter(this);
}

ModalAnswerer& ModalAnswerer::Click(const QString& buttonText) {
  steps_.push_back({QString(), [buttonText](QWidget* window) {
                      for (auto* button : window->findChildren<QAbstractButton*>()) {
                        if (Plain(button->text()) == Plain(buttonText)) {
                          button->click();
                          return;
                        }
                      }
                      qWarning("ModalAnswerer: no button \"%s\"", qPrintable(buttonText));
                    }});
  return *this;
}

ModalAnswerer& ModalAnswerer::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  steps_.push_back({QString(), [key, modifiers](QWidget* w) { PressKey(w, key, modifiers); }});
  return *this;
}

ModalAnswerer& ModalAnswerer::Key(const QString& name, Qt::Key key,
                                  Qt::KeyboardModifiers modifiers) {
  steps_.push_back({name, [key, modifiers](QWidget* w) { PressKey(w, key, modifiers); }});
  return *this;
}

ModalAnswerer& ModalAnswerer::Do(const QString& name, Action action) {
  steps_.push_back({name, std::move(action)});
  return *this;
}

ModalAnswerer& ModalAnswerer::DoAny(Action action) {
  steps_.push_back({QStringLiteral("*"), std::move(action)});
  return *this;
}

bool ModalAnswerer::WaitDone(int timeoutMs) {
  return WaitFor([this] { return Done(); }, timeoutMs);
}

bool ModalAnswerer::SawMessage(const QString& part) const {
  for (const auto& m : messages)
    if (m.contains(part)) return true;
  return false;
}

bool ModalAnswerer::Matches(const Step& step, QWidget* window) {
  if (step.name == QStringLiteral("*")) return true;
  if (step.name.isEmpty()) return qobject_cast<QMessageBox*>(window) != nullptr;
  return window->objectName() == step.name || window->windowTitle() == step.name;
}

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* window = static_cast<QWidget*>(watched);
    if (window->isWindow() && window->windowModality() != Qt::NonModal) {
      if (auto* box = qobject_cast<QMessageBox*>(window)) {
        seen << box->windowTitle() + ": " + box->text();
        messages << box->text();
      } else {
        seen << (window->objectName().isEmpty() ? window->windowTitle() : window->objectName());
      }
      QPointer<QWidget> guarded(window);
      // Act once the window's own modal loop runs.
      QTimer::singleShot(0, this, [this, guarded] {
        if (guarded && guarded->isVisible()) Handle(guarded.data());
      });
    }
  }
  return QObject::eventFilter(watched, event);
}

void ModalAnswerer::Handle(QWidget* window) {
  if (steps_.empty() || !Matches(steps_.front(), window)) return;
  Step step = std::move(steps_.front());
  steps_.pop_front();
  QPointer<QWidget> guarded(window);
  step.action(window);
  // The action's own waits process events, and on Windows they take the wake-up that a modal
  // loop asked to end leaves behind; the loop would then sleep until something else came. A
  // queued call wakes it to see that it is over.
  QTimer::singleShot(0, this, [] {});
  // A check that failed inside the action must not leave the test hanging in a modal loop.
  if (QTest::currentTestFailed() && guarded && guarded->isVisible()) {
    if (auto* dialog = qobject_cast<QDialog*>(guarded.data()))
      dialog->reject();
    else
      guarded->close();
  }
}

void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* top = window->window();
  if (QApplication::activeWindow() != top) {
    top->activateWindow();
    WaitFor([top] { return QApplication::activeWindow() == top; }, 5000);
  }
  if (top->windowHandle() != nullptr && QApplication::activeWindow() == top) {
    // Through the window system path, as a real key press: shortcuts and '&' mnemonics work.
    QPointer<QWidget> guarded(top);
    QTest::keyClick(top->windowHandle(), key, modifiers);
    // A mnemonic presses its button and clicks it a moment later: wait for that click.
    WaitFor(
        [guarded] {
          if (!guarded) return true;
          for (auto* button : guarded->findChildren<QAbstractButton*>())
            if (button->isDown()) return false;
          return true;
        },
        2000);
    return;
  }
  QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
  QTest::keyClick(target, key, modifiers);
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QTest::qWait(5);
  }
  return true;
}

}  // namespace ulvo::testing
