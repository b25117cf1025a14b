#pragma once
// Every dialog of the program is known to the main window by its class name ("TWysuwPapieru").
// The folders that own dialogs register a factory here; the main window opens a node's dialog
// through Open(). A dialog is created on its first opening and then lives as long as the
// registry, so it keeps its typed values between openings.

#include <QDialog>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ulvo {

class Link;
struct Settings;
struct ReceiptState;

// What a dialog gets to work with. Owned by the shell.
struct AppContext {
  Settings& settings;
  Link& link;
  ReceiptState& receipt;
  QWidget* mainWindow = nullptr;
  // Where the program writes its logs and temporary reports.
  std::filesystem::path dataDir{};
};

// Fits every registered dialog to its caption and visible controls each time it is shown.
class DialogFitter : public QObject {
  Q_OBJECT
 public:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

class DialogRegistry {
 public:
  using Factory = std::function<QDialog*(AppContext& context, QWidget* parent)>;

  explicit DialogRegistry(AppContext& context) : context_(context) {}
  ~DialogRegistry();

  void Register(const std::string& className, Factory factory);
  bool Has(const std::string& className) const { return factories_.count(className) != 0; }
  // Every registered class name, sorted.
  std::vector<std::string> Names() const;

  // The dialog, created on first use; null when no folder has registered that name yet.
  QDialog* Get(const std::string& className);

  // Opens the dialog modally. Returns false when the dialog does not exist (yet).
  bool Open(const std::string& className);

  AppContext& context() { return context_; }

  // Registers a dialog class whose constructor takes (AppContext&, QWidget* parent).
  template <typename Dialog>
  void Add(const std::string& className) {
    Register(className, [](AppContext& context, QWidget* parent) -> QDialog* {
      return new Dialog(context, parent);
    });
  }

 private:
  AppContext& context_;
  std::map<std::string, Factory> factories_;
  std::map<std::string, QPointer<QDialog>> dialogs_;
  DialogFitter fitter_;
};

}  // namespace ulvo
