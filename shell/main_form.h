#pragma once
// The program's only top-level window: the pages of command trees, the printer data panel,
// the two buttons, the console, the menus. It owns the settings record, the link, the Qt
// side of the link's user interface, the dialog registry and the transmission log.

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "common/receipt_state.h"
#include "link/program_paths.h"
#include "link/serial_port.h"
#include "link/settings.h"
#include "shell/core/command_trees.h"
#include "shell/core/main_window_logic.h"
#include "ui/qt_link_ui.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QVBoxLayout;
class QKeyEvent;

namespace ulvo {

class ConsolePanel;
class TPodgladTransmisji;
class DialogRegistry;
class Link;
class TransmissionLog;
class PcapCapture;
struct AppContext;

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  // `opener` opens the serial ports; `programDir` is where the program writes its own files
  // (ustaw.txt at close, the transmission log), the executable's directory when empty; the
  // user's folders when it cannot be written (link/program_paths.h).
  // ustaw.txt is read from the working directory.
  explicit TMainForm(PortOpener opener, std::filesystem::path programDir = {},
                     QWidget* parent = nullptr);
  ~TMainForm() override;

  // Refills the family-dependent trees for the current PrinterType, BusMode and ElectronicCopy.
  void RebuildCommandTrees();
  // Brings the window up to date with the link's state.
  void RefreshMainWindow();

  Settings& settings() { return settings_; }
  Link& link() { return *link_; }
  DialogRegistry& registry() { return *registry_; }
  const std::filesystem::path& programDir() const { return programDir_; }
  // Where ustaw.txt is written and where the logs and temporary reports go.
  const ProgramPaths& paths() const { return paths_; }

  QTabWidget* PageControl1 = nullptr;
  QWidget* PageWidget(Page page) const { return pages_[static_cast<int>(page)]; }
  QTreeWidget* Tree(Page page) const { return trees_[static_cast<int>(page)]; }
  QLabel* CodingLabel = nullptr;             // the current letter coding's name
  QGroupBox* DataPanel = nullptr;            // "Dane z drukarki"
  std::array<QLineEdit*, 14> PanelFields{};  // PTU A..G, TOT A..G
  QLabel* NoticeLabel = nullptr;             // "Brak odpowiedzi od drukarki."
  QPushButton* DownloadButton = nullptr;     // "Pobierz dane"
  QPushButton* SearchButton = nullptr;       // "Szukaj drukarki"
  QCheckBox* ConsoleCheck = nullptr;         // "Pokaż dane wysłane/odebrane"
  ConsolePanel* Console = nullptr;
  QAction* EndAction = nullptr;               // "&Koniec"
  QAction* ModelAction = nullptr;             // "&Model drukarki"
  QAction* PortAction = nullptr;              // "&Parametry transmisji"
  QAction* CodingAction = nullptr;            // "&Kodowanie polskich liter"
  QAction* RejestracjaTransmisji = nullptr;   // "Rejestracja transmsji" (checked while logging)
  QAction* BinaryFileAction = nullptr;        // "&Wyślij/odbierz plik binarnie"
  QAction* CommandListAction = nullptr;       // "&Pozycje rozkazów"
  QAction* TrafficViewAction = nullptr;       // "Podgląd transmisji"
  TPodgladTransmisji* TrafficView = nullptr;  // made at its first opening
  // "Prze&chwytywanie transmisji (pcap)…", checked while a capture runs (with libpcap only).
  QAction* CaptureAction = nullptr;
  QAction* AboutAction = nullptr;  // "&O programie"
  // "Zapisz &dane dla serwisu…" (with libzip only).
  QAction* SupportBundleAction = nullptr;

#ifdef ULVO_WITH_PCAP
  // Starts a capture of the line into `path`, until StopCapture or its size bound. True when
  // it could not start (the user has been told).
  bool StartCapture(const std::filesystem::path& path);
  void StopCapture();
  bool Capturing() const {
    return capture_ != nullptr;
  }
#endif
#ifdef ULVO_WITH_ZIP
  // Writes the support bundle (shell/core/support_bundle.h). True when it failed (told).
  bool SaveSupportBundle(const std::filesystem::path& path);
#endif
  // The capture the support bundle takes: the last one of this session, else the newest in
  // the program's data folder.
  std::optional<std::filesystem::path> LastCapture() const;

  bool FirstShowPending = true;
  int FullHeight = 0;
  int ReducedWindowHeight = 0;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPages();
  void BuildRightColumn(QWidget* parent, QVBoxLayout* column);
  void BuildMenus();
  void RegisterDialogs();
  void FirstShow();
  void FillTree(Page page);
  void UpdateBusPage();
  void OpenNode(Page page);
  bool HandleTreeKey(Page page, QKeyEvent* key);
  void ApplyConsoleVisibility();
  void ShowModelDialog();
  // Says once that the emulator started by ./run stays the model it was started as.
  void NoteEmulatorModel();
  void DownloadClick();
  void SearchClick();
  void ToggleTransmissionLog();
  void CaptureClick();
  void SupportBundleClick();
  void SendCommandList();
  void BinaryFileClick();
  void OpenAndRefresh(const char* dialog);
  void FocusCurrentTree();

  std::filesystem::path programDir_;
  ProgramPaths paths_;
  Settings settings_;
  QtLinkUi ui_;
  std::unique_ptr<Link> link_;
  ReceiptState receipt_;
  // The model of the emulator ./run started on the port named by ULVO_SIM_PORT, if any.
  std::optional<Settings> emulatedModel_;
  std::uint8_t emulatorPort_ = kNoPort;
  bool emulatorNoteShown_ = false;
  std::unique_ptr<AppContext> context_;
  std::unique_ptr<DialogRegistry> registry_;
  std::unique_ptr<TransmissionLog> log_;
#ifdef ULVO_WITH_PCAP
  std::unique_ptr<PcapCapture> capture_;
#endif
  std::optional<std::filesystem::path> lastCapture_;
  std::array<QWidget*, kPageCount> pages_{};
  std::array<QTreeWidget*, kPageCount> trees_{};
  PanelView panelView_;
  bool firstShowScheduled_ = false;
  bool endWithoutSaving_ = false;
};

}  // namespace ulvo
