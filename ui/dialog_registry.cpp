#include "ui/dialog_registry.h"

namespace ulvo {

DialogRegistry::~DialogRegistry() {
  for (auto& [name, dialog] : dialogs_) delete dialog.data();
}

void DialogRegistry::Register(const std::string& className, Factory factory) {
  factories_[className] = std::move(factory);
}

QDialog* DialogRegistry::Get(const std::string& className) {
  auto existing = dialogs_.find(className);
  if (existing != dialogs_.end() && existing->second) return existing->second.data();
  auto factory = factories_.find(className);
  if (factory == factories_.end()) return nullptr;
  QDialog* dialog = factory->second(context_, context_.mainWindow);
  dialogs_[className] = dialog;
  return dialog;
}

bool DialogRegistry::Open(const std::string& className) {
  QDialog* dialog = Get(className);
  if (dialog == nullptr) return false;
  dialog->exec();
  return true;
}

}  // namespace ulvo
