#include "shell/main_form.h"

#include <ctime>
#include <fstream>
#include <iterator>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/local_time.h"
#include "commands/register_commands.h"
#include "common/file_replace.h"
#include "link/letter_coding.h"
#include "link/link.h"
#include "link/transmission_log.h"
#ifdef ULVO_WITH_PCAP
#include "link/pcap_capture.h"
#endif
#ifdef ULVO_WITH_ZIP
#include "shell/core/support_bundle.h"
#endif
#include "readout/register_fiscal_readout.h"
#include "shell/about_dialog.h"
#include "shell/console_panel.h"
#include "shell/core/console_text.h"
#include "shell/letter_coding_dialogs.h"
#include "shell/model_dialog.h"
#include "shell/port_settings_dialog.h"
#include "shell/readouts/core/readout_files.h"
#include "shell/readouts/register_readouts.h"
#include "shell/traffic_view.h"
#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

namespace ulvo {
namespace {

constexpr int kWindowWidth = 960;
constexpr int kFullHeight = 760;
constexpr int kDialogRole = Qt::UserRole;

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

std::filesystem::path DefaultProgramDir() {
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

void AddNodes(QTreeWidgetItem* parent, QTreeWidget* tree, const std::vector<TreeNode>& nodes) {
  for (const TreeNode& node : nodes) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, QString::fromStdString(node.label));
    item->setData(0, kDialogRole, QString::fromStdString(node.dialog));
    AddNodes(item, tree, node.children);
  }
}

}  // namespace

TMainForm::TMainForm(PortOpener opener, std::filesystem::path programDir, QWidget* parent)
    : QMainWindow(parent),
      programDir_(programDir.empty() ? DefaultProgramDir() : std::move(programDir)),
      paths_(ProgramPathsFor(programDir_)),
      ui_(this) {
  setObjectName("TMainForm");
  const std::filesystem::path settingsFile = SettingsFileToRead(paths_);
  settings_ = LoadSettings(settingsFile);  // the working directory's first
  // The addresses given to COM numbers live beside ustaw.txt, in a file of their own.
  {
    std::ifstream in(settingsFile.parent_path() / kPortAddressesFileName, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    settings_.PortAddresses = ParsePortAddresses(bytes);
  }
  link_ = std::make_unique<Link>(settings_, ui_, std::move(opener));
  // ./run starts the emulator as the model these settings name and says on which port.
  if (const QByteArray port = qgetenv("ULVO_SIM_PORT"); !port.isEmpty()) {
    bool ok = false;
    const int number = port.toInt(&ok);
    if (ok && number >= 1 && number <= 64) {
      emulatedModel_ = settings_;
      emulatorPort_ = static_cast<std::uint8_t>(number);
    }
  }
  context_ =
      std::make_unique<AppContext>(AppContext{settings_, *link_, receipt_, this, paths_.dataDir});
  registry_ = std::make_unique<DialogRegistry>(*context_);
  RegisterDialogs();

  setWindowTitle(QString::fromStdString(MainWindowCaption(settings_)));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 6, 6, 6);
  auto* top = new QHBoxLayout;
  layout->addLayout(top, 1);
  PageControl1 = new QTabWidget(central);
  PageControl1->setObjectName("PageControl1");
  // Every page caption stays in sight; a scrolled tab row hides pages from the arrows' user.
  PageControl1->setUsesScrollButtons(false);
  top->addWidget(PageControl1, 3);
  BuildPages();
  auto* column = new QVBoxLayout;
  top->addLayout(column, 2);
  BuildRightColumn(central, column);
  Console = new ConsolePanel(
      *link_, [this] { RefreshMainWindow(); }, central);
  layout->addWidget(Console, 1);
  setCentralWidget(central);
  BuildMenus();

  // Keyboard order: tree, the two buttons, the console check box, then the console.
  setTabOrder(DownloadButton, SearchButton);
  setTabOrder(SearchButton, ConsoleCheck);
  setTabOrder(ConsoleCheck, Console->Memo1);
  qApp->installEventFilter(this);

  resize(kWindowWidth, kFullHeight);
  FullHeight = kFullHeight;
  ReducedWindowHeight = ReducedHeight(FullHeight);
  ApplyConsoleVisibility();
  RefreshMainWindow();
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  delete TrafficView;  // it lets go of the link while the link still exists
  link_->SetTransmissionLog(nullptr);
#ifdef ULVO_WITH_PCAP
  StopCapture();
#endif
  registry_.reset();  // dialogs go while the link they hold still exists
}

void TMainForm::RegisterDialogs() {
  RegisterCommandDialogs(*registry_);
  RegisterReadoutDialogs(*registry_);
  RegisterToolDialogs(*registry_);
  RegisterFiscalReadoutDialogs(*registry_);
  registry_->Register("TParametryTransmisji", [](AppContext& c, QWidget* parent) -> QDialog* {
    return new TParametryTransmisji(c.link, parent);
  });
  registry_->Register("TModelDrukarki", [](AppContext& c, QWidget* parent) -> QDialog* {
    return new TModelDrukarki(c.settings, c.mainWindow, parent);
  });
  registry_->Register("TUstawKodLiter", [](AppContext& c, QWidget* parent) -> QDialog* {
    return new TUstawKodLiter(c.link, parent);
  });
  registry_->Register("TKodowaniePolskich", [](AppContext& c, QWidget* parent) -> QDialog* {
    return new TKodowaniePolskich(c.link, parent);
  });
  registry_->Register("TOProgramie", [this](AppContext&, QWidget* parent) -> QDialog* {
    return new TOProgramie(parent, QString::fromStdString(FoldersNote(paths_)));
  });
}

// ---- building ----

void TMainForm::BuildPages() {
  for (int i = 0; i < kPageCount; ++i) {
    const Page page = static_cast<Page>(i);
    auto* widget = new QWidget(PageControl1);
    widget->setObjectName(PageCaption(page));
    auto* tree = new QTreeWidget(widget);
    tree->setObjectName(QString("Tree_") + PageCaption(page));
    tree->setHeaderHidden(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setExpandsOnDoubleClick(true);
    tree->installEventFilter(this);
    auto* pageLayout = new QVBoxLayout(widget);
    pageLayout->setContentsMargins(2, 2, 2, 2);
    pageLayout->addWidget(tree);
    pages_[i] = widget;
    trees_[i] = tree;
    connect(tree, &QTreeWidget::itemDoubleClicked, this, [this, page](QTreeWidgetItem*, int) {
      OpenNode(page);
      if (page != Page::Bus) RefreshMainWindow();
    });
  }
  // The tab row at creation; "Programowanie" and "Bus" join at the first showing.
  for (Page page : {Page::Podstawowe, Page::Konfiguracja, Page::Transakcja, Page::Diagnostyczne,
                    Page::Dodatkowe})
    PageControl1->addTab(PageWidget(page), Utf8(PageCaption(page)));
  PageWidget(Page::Programowanie)->hide();
  PageWidget(Page::Bus)->hide();
  FillTree(Page::Dodatkowe);
  FillTree(Page::Bus);
  PageControl1->setCurrentWidget(PageWidget(Page::Dodatkowe));
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int) {
    if (PageControl1->tabBar()->hasFocus()) FocusCurrentTree();
  });
}

void TMainForm::BuildRightColumn(QWidget* parent, QVBoxLayout* column) {
  auto* codingRow = new QHBoxLayout;
  codingRow->addWidget(new QLabel(Utf8("Standard kodowania polskich liter:"), parent));
  CodingLabel = new QLabel(parent);
  CodingLabel->setObjectName("CodingLabel");
  QFont bold = CodingLabel->font();
  bold.setBold(true);
  CodingLabel->setFont(bold);
  codingRow->addWidget(CodingLabel);
  codingRow->addStretch();
  column->addLayout(codingRow);

  DataPanel = new QGroupBox(Utf8("Dane z drukarki"), parent);
  DataPanel->setObjectName("DataPanel");
  auto* grid = new QGridLayout(DataPanel);
  grid->setVerticalSpacing(3);
  for (int i = 0; i < 14; ++i) {
    const bool total = i >= 7;
    const QString caption = QString(total ? "TOT %1" : "PTU %1").arg(QChar('A' + i % 7));
    auto* field = new QLineEdit(DataPanel);
    field->setReadOnly(true);
    field->setObjectName(caption);
    // Read-only figures stay out of the Tab order, which runs from the tree to the buttons.
    field->setFocusPolicy(Qt::ClickFocus);
    field->setAlignment(Qt::AlignRight);
    auto* label = new QLabel(caption, DataPanel);
    grid->addWidget(label, i % 7, total ? 2 : 0);
    grid->addWidget(field, i % 7, total ? 3 : 1);
    PanelFields[i] = field;
  }
  column->addWidget(DataPanel);

  NoticeLabel = new QLabel(parent);
  NoticeLabel->setObjectName("NoticeLabel");
  NoticeLabel->setStyleSheet("color: #b00000; font-weight: bold;");
  NoticeLabel->setWordWrap(true);  // the lost-port notice is a sentence long
  column->addWidget(NoticeLabel);
  column->addStretch();

  DownloadButton = new QPushButton(Utf8("Pobierz dane"), parent);
  DownloadButton->setToolTip(Utf8("Pobranie informacji kasowych."));
  DownloadButton->installEventFilter(this);
  SearchButton = new QPushButton(Utf8("Szukaj drukarki"), parent);
  SearchButton->setToolTip(
      Utf8("Wyszukanie drukarki fiskalnej na dostępnych portach szeregowych."));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(DownloadButton);
  buttons->addWidget(SearchButton);
  column->addLayout(buttons);
  ConsoleCheck = new QCheckBox(Utf8("Pokaż dane wysłane/odebrane"), parent);
  column->addWidget(ConsoleCheck);

  connect(DownloadButton, &QPushButton::clicked, this, &TMainForm::DownloadClick);
  connect(SearchButton, &QPushButton::clicked, this, &TMainForm::SearchClick);
  connect(ConsoleCheck, &QCheckBox::toggled, this, &TMainForm::ApplyConsoleVisibility);
}

void TMainForm::BuildMenus() {
  QMenu* file = menuBar()->addMenu(Utf8("&Plik"));
  EndAction = file->addAction(Utf8("&Koniec"));
  QMenu* setup = menuBar()->addMenu(Utf8("&Ustawienia"));
  ModelAction = setup->addAction(Utf8("&Model drukarki"));
  PortAction = setup->addAction(Utf8("&Parametry transmisji"));
  CodingAction = setup->addAction(Utf8("&Kodowanie polskich liter"));
  RejestracjaTransmisji = setup->addAction(Utf8("Rejestracja transmsji"));
  RejestracjaTransmisji->setCheckable(true);
  QMenu* tools = menuBar()->addMenu(Utf8("&Narzędzia"));
  BinaryFileAction = tools->addAction(Utf8("&Wyślij/odbierz plik binarnie"));
  CommandListAction = tools->addAction(Utf8("&Pozycje rozkazów"));
  TrafficViewAction = tools->addAction(Utf8("Podgląd &transmisji"));
#ifdef ULVO_WITH_PCAP
  CaptureAction = tools->addAction(Utf8("Prze&chwytywanie transmisji (pcap)…"));
  CaptureAction->setCheckable(true);
  connect(CaptureAction, &QAction::triggered, this, &TMainForm::CaptureClick);
#endif
  QMenu* help = menuBar()->addMenu(Utf8("&Pomoc"));
  AboutAction = help->addAction(Utf8("&O programie"));
#ifdef ULVO_WITH_ZIP
  SupportBundleAction = help->addAction(Utf8("Zapisz &dane dla serwisu…"));
  connect(SupportBundleAction, &QAction::triggered, this, &TMainForm::SupportBundleClick);
#endif

  connect(EndAction, &QAction::triggered, this, [this] {
    // Ends at once: the settings changed since start are not written.
    endWithoutSaving_ = true;
    close();
  });
  connect(ModelAction, &QAction::triggered, this, &TMainForm::ShowModelDialog);
  connect(PortAction, &QAction::triggered, this,
          [this] { OpenAndRefresh("TParametryTransmisji"); });
  connect(CodingAction, &QAction::triggered, this, [this] { OpenAndRefresh("TUstawKodLiter"); });
  connect(RejestracjaTransmisji, &QAction::triggered, this, &TMainForm::ToggleTransmissionLog);
  connect(BinaryFileAction, &QAction::triggered, this, &TMainForm::BinaryFileClick);
  connect(CommandListAction, &QAction::triggered, this, &TMainForm::SendCommandList);
  connect(TrafficViewAction, &QAction::triggered, this, [this] {
    if (TrafficView == nullptr) TrafficView = new TPodgladTransmisji(*link_, this);
    TrafficView->show();
    TrafficView->raise();
    TrafficView->activateWindow();
  });
  connect(AboutAction, &QAction::triggered, this, [this] { OpenAndRefresh("TOProgramie"); });
}

void TMainForm::FillTree(Page page) {
  QTreeWidget* tree = Tree(page);
  tree->clear();
  AddNodes(nullptr, tree, CommandTree(page, settings_));
  // Left and Right lead to the tab row, so groups start open for the keyboard's sake.
  tree->expandAll();
  if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
}

void TMainForm::RebuildCommandTrees() {
  for (int i = 0; i < kPageCount; ++i)
    if (IsRebuiltPage(static_cast<Page>(i))) FillTree(static_cast<Page>(i));
}

void TMainForm::UpdateBusPage() {
  const int index = PageControl1->indexOf(PageWidget(Page::Bus));
  if (settings_.BusMode && index < 0) {
    PageControl1->addTab(PageWidget(Page::Bus), Utf8(PageCaption(Page::Bus)));
  } else if (!settings_.BusMode && index >= 0) {
    PageControl1->removeTab(index);
    PageWidget(Page::Bus)->hide();
  }
}

// ---- showing and closing ----

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FirstShowPending && !firstShowScheduled_) {
    firstShowScheduled_ = true;
    // After the window is on screen, so that the model dialog stands over it.
    QTimer::singleShot(0, this, &TMainForm::FirstShow);
  }
}

void TMainForm::FirstShow() {
  QDialog* model = registry_->Get("TModelDrukarki");
  if (model == nullptr || model->exec() != QDialog::Accepted) {
    close();
    return;
  }
  NoteEmulatorModel();
  PageControl1->addTab(PageWidget(Page::Programowanie), Utf8(PageCaption(Page::Programowanie)));
  RebuildCommandTrees();
  PageControl1->setTabText(0, Utf8(PageCaption(Page::Podstawowe)));
  UpdateBusPage();
  FirstShowPending = false;
  PageControl1->setCurrentWidget(PageWidget(Page::Dodatkowe));
  QTreeWidget* tree = Tree(Page::Dodatkowe);
  if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
  // The keyboard comes back to this window, not to wherever the dialog left it.
  activateWindow();
  tree->setFocus(Qt::OtherFocusReason);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!endWithoutSaving_) {
    link_->ClosePort();
    const auto file = paths_.configDir / kSettingsFileName;
    if (MakeDirectory(paths_.configDir) || SaveSettings(settings_, file))
      ui_.ShowMessage("Nie mogę zapisać ustawień do pliku " + file.string() +
                      ". Zmiany ustawień z tej sesji nie zostały zachowane.");
    const auto addresses = paths_.configDir / kPortAddressesFileName;
    std::error_code ignored;
    if (settings_.PortAddresses.empty()) {
      std::filesystem::remove(addresses, ignored);
    } else if (ReplaceFileContents(addresses, FormatPortAddresses(settings_.PortAddresses))) {
      ui_.ShowMessage("Nie mogę zapisać adresów portów do pliku " + addresses.string() + ".");
    }
  }
  event->accept();
}

// ---- refresh ----

void TMainForm::RefreshMainWindow() {
  Link& link = *link_;
  if (FirstShowPending && link.PortNumber != kNoPort && !link.PortOpen()) link.OpenPort(true);
  CodingLabel->setText(Utf8(LetterCodingName(settings_.LetterCoding)));
  Console->ShowBuffers();
  panelView_ = NextPanelView(panelView_, link.PortNumber, link.CashDataState, link.ReplyReceived,
                             link.PortIsLost() ? link.LostPort : kNoPort);
  if (link.CashDataState == 1 && link.PortNumber != kNoPort) {
    const auto texts = PanelTexts(link.CashInfo, settings_.PrinterType);
    for (int i = 0; i < 14; ++i) PanelFields[i]->setText(QString::fromStdString(texts[i]));
  }
  DataPanel->setVisible(panelView_.panelVisible);
  NoticeLabel->setText(QString::fromStdString(panelView_.noticeText));
  NoticeLabel->setVisible(panelView_.noticeVisible);
  DownloadButton->setEnabled(link.PortNumber != kNoPort);
}

void TMainForm::ApplyConsoleVisibility() {
  const bool shown = ConsoleCheck->isChecked();
  Console->setVisible(shown);
  resize(width(), shown ? FullHeight : ReducedWindowHeight);
}

// ---- trees and keys ----

void TMainForm::OpenNode(Page page) {
  QTreeWidgetItem* item = Tree(page)->currentItem();
  if (item == nullptr) return;
  const std::string dialog = item->data(0, kDialogRole).toString().toStdString();
  if (dialog.empty()) return;  // a group node
  if (NodeNeedsPort(page, dialog, settings_.PrinterType) && link_->PortNumber == kNoPort) {
    ui_.ShowMessage("Nie wybramo portu komunikacyjnego.");
    return;
  }
  if (!registry_->Open(dialog)) {
    ui_.ShowMessage("Polecenie \"" + item->text(0).toStdString() +
                    "\" nie jest jeszcze dostępne w tej wersji programu.");
  }
}

void TMainForm::FocusCurrentTree() {
  for (int i = 0; i < kPageCount; ++i)
    if (PageControl1->currentWidget() == pages_[i] && trees_[i]->isVisible())
      trees_[i]->setFocus(Qt::TabFocusReason);
}

bool TMainForm::HandleTreeKey(Page page, QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OpenNode(page);
      RefreshMainWindow();
      return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
      PageControl1->tabBar()->setFocus(Qt::TabFocusReason);
      return true;
    case Qt::Key_Tab:
      // "Pobierz dane" is disabled without a port; Tab then goes on to the next control.
      for (QWidget* next :
           {static_cast<QWidget*>(DownloadButton), static_cast<QWidget*>(SearchButton)})
        if (next->isEnabled()) {
          next->setFocus(Qt::TabFocusReason);
          return true;
        }
      return true;
    case Qt::Key_Backtab:
      PageControl1->tabBar()->setFocus(Qt::BacktabFocusReason);
      return true;
    default:
      if (IsKeyboardPage(page))
        QMetaObject::invokeMethod(this, &TMainForm::RefreshMainWindow, Qt::QueuedConnection);
      return false;
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this || QApplication::activeModalWidget() != nullptr)
    return QMainWindow::eventFilter(watched, event);

  // The window sees F3 and R before its controls, except where they are typing.
  const bool typing = Console->ConsoleHasFocus() || qobject_cast<QLineEdit*>(widget) != nullptr;
  const bool plain = (key->modifiers() &
                      (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == Qt::NoModifier;
  if (!typing && plain && !FirstShowPending &&
      (key->key() == Qt::Key_F3 || key->key() == Qt::Key_R)) {
    registry_->Open("TWydrukRaportuDobowego");
    RefreshMainWindow();
    return true;
  }
  for (int i = 0; i < kPageCount; ++i)
    if (watched == trees_[i]) return HandleTreeKey(static_cast<Page>(i), key);
  if ((watched == DownloadButton || (watched == SearchButton && !DownloadButton->isEnabled())) &&
      key->key() == Qt::Key_Backtab) {
    FocusCurrentTree();
    return true;
  }
  if (watched == PageControl1->tabBar() && key->key() == Qt::Key_Tab) {
    FocusCurrentTree();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- menus and buttons ----

void TMainForm::OpenAndRefresh(const char* dialog) {
  registry_->Open(dialog);
  RefreshMainWindow();
}

void TMainForm::NoteEmulatorModel() {
  if (!emulatedModel_ || emulatorNoteShown_ || settings_.PortNumber != emulatorPort_) return;
  const std::string note = EmulatorModelNote(*emulatedModel_, settings_);
  if (note.empty()) return;
  emulatorNoteShown_ = true;
  ui_.ShowMessage(note);
}

void TMainForm::ShowModelDialog() {
  registry_->Open("TModelDrukarki");
  NoteEmulatorModel();
  RebuildCommandTrees();
  UpdateBusPage();
  RefreshMainWindow();
}

void TMainForm::DownloadClick() {
  link_->ReadCashInfo();
  RefreshMainWindow();
}

void TMainForm::SearchClick() {
  QDialog* search = registry_->Get("TSzukamdrukarki");
  if (search == nullptr) {
    ui_.ShowMessage(
        "Wyszukiwanie drukarki na portach szeregowych nie jest jeszcze dostępne w tej "
        "wersji programu. Port wybierz w menu Ustawienia / Parametry transmisji.");
    return;
  }
  if (search->exec() != QDialog::Accepted)
    ui_.ShowMessage("Nie znaleziono żadnej drukarki fiskalnej");
  RebuildCommandTrees();
  UpdateBusPage();
  RefreshMainWindow();
}

void TMainForm::BinaryFileClick() {
  if (link_->PortNumber == kNoPort) {
    ui_.ShowMessage("Nie wybrano portu komunikacyjnego.");
    return;
  }
  registry_->Open("TWyslijOdbierzPlikBin");
}

void TMainForm::ToggleTransmissionLog() {
  if (log_) {
    link_->SetTransmissionLog(nullptr);
    log_.reset();
  } else {
    if (!MakeDirectory(paths_.dataDir)) log_ = TransmissionLog::Create(paths_.dataDir);
    if (log_) {
      link_->SetTransmissionLog(log_.get());
    } else {
      ui_.ShowMessage("Nie mogę utworzyć pliku.");
    }
  }
  RejestracjaTransmisji->setChecked(log_ != nullptr);
}

#if defined(ULVO_WITH_PCAP) || defined(ULVO_WITH_ZIP)
namespace {

// "przechwycenie_20260309_141502.pcap": a name that sorts by time.
std::string StampedName(const char* stem, const char* suffix) {
  const std::tm local = LocalTime(std::time(nullptr));
  char text[64];
  std::strftime(text, sizeof text, "_%Y%m%d_%H%M%S", &local);
  return std::string(stem) + text + suffix;
}

// A save dialog of the program's own kind (its own overwrite question); empty when cancelled.
std::filesystem::path AskSavePath(QWidget* parent, const char* title, const char* filter,
                                  const char* suffix, const std::filesystem::path& proposal) {
  QFileDialog dialog(parent, Utf8(title));
  dialog.setNameFilter(Utf8(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(Utf8(suffix));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setDirectory(QString::fromStdString(proposal.parent_path().string()));
  dialog.selectFile(QString::fromStdString(proposal.filename().string()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace
#endif

std::optional<std::filesystem::path> TMainForm::LastCapture() const {
  if (lastCapture_) return lastCapture_;
  std::optional<std::filesystem::path> newest;
  std::filesystem::file_time_type newestTime{};
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(paths_.dataDir, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("przechwycenie_", 0) != 0 || entry.path().extension() != ".pcap") continue;
    std::error_code timeError;
    const auto time = entry.last_write_time(timeError);
    if (!timeError && (!newest || time > newestTime)) {
      newest = entry.path();
      newestTime = time;
    }
  }
  return newest;
}

void TMainForm::CaptureClick() {
#ifdef ULVO_WITH_PCAP
  if (capture_) {
    StopCapture();
    return;
  }
  CaptureAction->setChecked(false);
  MakeDirectory(paths_.dataDir);
  const std::filesystem::path path =
      AskSavePath(this, "Przechwytywanie transmisji do pliku", "Przechwycenia pcap (*.pcap *.PCAP)",
                  "pcap", paths_.dataDir / StampedName("przechwycenie", ".pcap"));
  if (path.empty()) return;
  if (std::filesystem::exists(path) && !ui_.AskYesNo(OverwriteQuestion(path.string()))) return;
  StartCapture(path);
#endif
}

#ifdef ULVO_WITH_PCAP
bool TMainForm::StartCapture(const std::filesystem::path& path) {
  StopCapture();
  std::string error;
  // The bound is met inside a write or read of the link: the message waits until it is over.
  capture_ = PcapCapture::Start(
      path,
      [this](const std::string& message) {
        QTimer::singleShot(0, this, [this, message] {
          StopCapture();
          ui_.ShowMessage(message);
        });
      },
      &error);
  if (!capture_) {
    ui_.ShowMessage(error);
    if (CaptureAction) CaptureAction->setChecked(false);
    return true;
  }
  link_->SetCaptureTap(capture_.get());
  lastCapture_ = path;
  if (CaptureAction) CaptureAction->setChecked(true);
  return false;
}

void TMainForm::StopCapture() {
  link_->SetCaptureTap(nullptr);
  capture_.reset();  // what is pending is written now
  if (CaptureAction) CaptureAction->setChecked(false);
}
#endif

void TMainForm::SupportBundleClick() {
#ifdef ULVO_WITH_ZIP
  MakeDirectory(paths_.dataDir);
  const std::filesystem::path path =
      AskSavePath(this, "Zapisz dane dla serwisu", "Archiwa zip (*.zip *.ZIP)", "zip",
                  paths_.dataDir / StampedName("ulvo_serwis", ".zip"));
  if (path.empty()) return;
  if (std::filesystem::exists(path) && !ui_.AskYesNo(OverwriteQuestion(path.string()))) return;
  if (!SaveSupportBundle(path))
    ui_.ShowMessage("Dane dla serwisu zapisano w pliku " + path.string() + ".");
#endif
}

#ifdef ULVO_WITH_ZIP
bool TMainForm::SaveSupportBundle(const std::filesystem::path& path) {
  SupportBundleInput input;
  input.version = ULVO_VERSION;
  input.settings = settings_;
  if (settings_.PortNumber != kNoPort)
    input.portDevice = PortDeviceName(settings_.PortNumber, settings_.PortAddresses);
  input.portState = link_->PortOpen() ? "otwarty" : link_->PortIsLost() ? "utracony" : "zamknięty";
  input.logDir = paths_.dataDir;
#ifdef ULVO_WITH_PCAP
  // A capture that runs goes in as far as it has come.
  if (capture_) input.capture = capture_->path();
#endif
  if (!input.capture) input.capture = LastCapture();
  if (const auto error = WriteSupportBundle(path, input)) {
    ui_.ShowMessage(*error);
    return true;
  }
  return false;
}
#endif

void TMainForm::SendCommandList() {
  QFileDialog dialog(this, Utf8("Otwórz plik który zamierzasz wysłać."), QDir::currentPath());
  dialog.setObjectName("CommandListDialog");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
  // One byte more than is sent tells a file that would be cut.
  auto text = ReadCommandFile(path.toStdString(), kCommandFileMax + 1);
  if (!text) {
    ui_.ShowMessage(CannotOpenFileMessage(QDir::toNativeSeparators(path).toStdString()));
    return;
  }
  if (text->size() > kCommandFileMax) {
    if (!ui_.AskYesNo(CommandFileTooLongQuestion(kCommandFileMax))) return;
    text->resize(kCommandFileMax);
  }
  link_->SendCommandFile(text->c_str());
  RefreshMainWindow();
}

}  // namespace ulvo
