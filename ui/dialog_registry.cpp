#include "ui/dialog_registry.h"

#include <QEvent>
#include <QTimer>

#include "ui/dialog_fit.h"

namespace ulvo {

DialogRegistry::~DialogRegistry() {
  for (auto& [name, dialog] : dialogs_) delete dialog.data();
}

void DialogRegistry::Register(const std::string& className, Factory factory) {
  factories_[className] = std::move(factory);
}

std::vector<std::string> DialogRegistry::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, factory] : factories_) names.push_back(name);
  return names;
}

QDialog* DialogRegistry::Get(const std::string& className) {
  auto existing = dialogs_.find(className);
  if (existing != dialogs_.end() && existing->second) return existing->second.data();
  auto factory = factories_.find(className);
  if (factory == factories_.end()) return nullptr;
  QDialog* dialog = factory->second(context_, context_.mainWindow);
  dialogs_[className] = dialog;
  dialog->installEventFilter(&fitter_);
  return dialog;
}

bool DialogRegistry::Open(const std::string& className) {
  QDialog* dialog = Get(className);
  if (dialog == nullptr) return false;
  dialog->exec();
  return true;
}

bool DialogFitter::eventFilter(QObject* watched, QEvent* event) {
  // After the dialog's own show handler has shown or hidden the controls of this family.
  if (event->type() == QEvent::Show) {
    if (auto* dialog = qobject_cast<QDialog*>(watched)) {
      QTimer::singleShot(0, dialog, [dialog] { FitDialog(dialog); });
    }
  }
  return false;
}

}  // namespace ulvo
