#include "tools/test_transactions_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "link/link.h"
#include "link/settings.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

QLineEdit* MakeEdit(const char* name, const char* text) {
  auto* edit = new QLineEdit(QString::fromUtf8(text));
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QRadioButton* MakeRadio(const char* name, const char* caption) {
  auto* radio = new QRadioButton(Utf8(caption));
  radio->setObjectName(QString::fromLatin1(name));
  return radio;
}

QSlider* MakeDelaySlider(const char* name) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setObjectName(QString::fromLatin1(name));
  slider->setRange(0, 5);
  slider->setPageStep(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setValue(0);
  return slider;
}

// A slider with "Brak" at its left end and "Max" at its right.
QWidget* SliderRow(QSlider* slider) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(Utf8("Brak")));
  layout->addWidget(slider, 1);
  layout->addWidget(new QLabel(Utf8("Max")));
  return row;
}

}  // namespace

// ---- TDrukTransTest ----

TDrukTransTest::TDrukTransTest(AppContext& context, TestRunSettings& run, TestRunTotals& totals,
                               QWidget* parent)
    : QDialog(parent), context_(context), run_(run), totals_(totals) {
  setObjectName(QStringLiteral("TDrukTransTest"));
  setWindowTitle(Utf8("Druowanie transakcji testowych"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  Edit1 = MakeEdit("Edit1", "");
  Edit2 = MakeEdit("Edit2", "");
  Edit3 = MakeEdit("Edit3", "");
  Edit4 = MakeEdit("Edit4", "");
  for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4}) {
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
  }
  form->addRow(Utf8("Nr paragonu"), Edit1);
  form->addRow(Utf8("Nr pozycji"), Edit2);
  form->addRow(Utf8("Suma paragonu"), Edit3);
  form->addRow(Utf8("Suma całkowita"), Edit4);
  TrackBar1 = MakeDelaySlider("TrackBar1");
  TrackBar2 = MakeDelaySlider("TrackBar2");
  layout->addWidget(new QLabel(Utf8("Opóźnienie między pozycjami paragonu")));
  layout->addWidget(SliderRow(TrackBar1));
  layout->addWidget(new QLabel(Utf8("Opóźnienie między paragonami")));
  layout->addWidget(SliderRow(TrackBar2));
  WaitLabel = new QLabel(Utf8("Czekam na odpowiedź od drukarki ...."));
  WaitLabel->setObjectName(QStringLiteral("WaitLabel"));
  ProgressBar1 = new QProgressBar;
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  layout->addWidget(WaitLabel);
  layout->addWidget(ProgressBar1);
  WaitLabel->hide();
  ProgressBar1->hide();
  Button1 = new QPushButton(Utf8("&Przerwij"));
  Button1->setObjectName(QStringLiteral("Button1"));
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(Button1);
  row->addStretch();
  layout->addLayout(row);

  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &TDrukTransTest::Tick);
  connect(Button1, &QPushButton::clicked, this, &TDrukTransTest::PrzerwijClick);
  // Either slider sets the pace at once, to the first slider's delay.
  for (QSlider* slider : {TrackBar1, TrackBar2}) {
    connect(slider, &QSlider::valueChanged, this, [this] {
      interval_ = LineDelay(TrackBar1->value());
      if (timer_.isActive()) timer_.start(static_cast<int>(interval_.count()));
    });
  }
}

TDrukTransTest::~TDrukTransTest() = default;

void TDrukTransTest::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || started_) return;
  started_ = true;
  closing_ = false;
  RandomSource* random = testRandom_;
  if (random == nullptr) {
    random_ = std::make_unique<RuntimeRandom>(
        static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    random = random_.get();
  }
  generator_ = std::make_unique<TestReceiptGenerator>(run_, *random, GoodsNames(),
                                                      context_.settings.LetterCoding);
  driver_ = std::make_unique<TestRunDriver>(context_.link, run_, totals_, *generator_);
  Edit1->setText(QString::asprintf("%u", static_cast<unsigned>(run_.TestReceiptCount)));
  Edit2->setText(QStringLiteral("1"));
  Edit3->setText(QStringLiteral("0.00"));
  Edit4->setText(QString::asprintf("%.2f", run_.TestGrandTotal));
  SetWaiting(false);
  Button1->setFocus(Qt::OtherFocusReason);
  interval_ = LineDelay(TrackBar1->value());
  running_ = !driver_->Start();
  if (running_) timer_.start(static_cast<int>(interval_.count()));
}

void TDrukTransTest::SetWaiting(bool waiting) {
  if (!waiting) {
    ProgressBar1->setValue(0);
    barStep_ = 2;
  } else {
    int value = ProgressBar1->value() + barStep_;
    if (value >= 100) {
      value = 100;
      barStep_ = -2;
    } else if (value <= 0) {
      value = 0;
      barStep_ = 2;
    }
    ProgressBar1->setValue(value);
  }
  WaitLabel->setVisible(waiting);
  ProgressBar1->setVisible(waiting);
}

void TDrukTransTest::ShowTexts() {
  const TestRunDriver::Texts texts = driver_->CurrentTexts();
  Edit1->setText(QString::fromStdString(texts.receiptNumber));
  Edit2->setText(QString::fromStdString(texts.lineNumber));
  Edit3->setText(QString::fromStdString(texts.receiptSum));
  Edit4->setText(QString::fromStdString(texts.grandTotal));
}

void TDrukTransTest::Tick() {
  if (!running_ || !driver_) return;
  const TestRunDriver::TickResult result =
      driver_->Tick(LineDelay(TrackBar1->value()), ReceiptDelay(TrackBar2->value()), interval_);
  interval_ = result.interval;
  switch (result.outcome) {
    case TestRunDriver::Outcome::Wait:
      SetWaiting(true);
      timer_.start(static_cast<int>(interval_.count()));
      return;
    case TestRunDriver::Outcome::Next:
      SetWaiting(false);
      ShowTexts();
      timer_.start(static_cast<int>(interval_.count()));
      return;
    case TestRunDriver::Outcome::Stopped:
      SetWaiting(false);
      ShowTexts();
      running_ = false;
      return;
    case TestRunDriver::Outcome::Close:
      ShowTexts();
      running_ = false;
      EndRun(driver_->Finished() ? QDialog::Accepted : QDialog::Rejected);
      return;
  }
}

void TDrukTransTest::PrzerwijClick() {
  if (closing_) return;
  const bool wasRunning = running_;
  timer_.stop();
  running_ = false;
  if (!context_.link.ui().AskYesNo("Przerwać drukowanie transakcji testowych?")) {
    running_ = wasRunning;
    if (running_) timer_.start(static_cast<int>(interval_.count()));
    return;
  }
  if (driver_) driver_->Stop();
  EndRun(QDialog::Rejected);
}

void TDrukTransTest::EndRun(int result) {
  timer_.stop();
  running_ = false;
  run_.TestRunActive = 0;
  closing_ = true;
  started_ = false;
  done(result);
}

void TDrukTransTest::reject() {
  // Closed some other way while the run is on: stop it as "&Przerwij" does, without asking.
  if (closing_) return;
  timer_.stop();
  if (running_ && driver_) {
    running_ = false;
    driver_->Stop();
  }
  EndRun(QDialog::Rejected);
}

void TDrukTransTest::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    event->ignore();
    reject();
    return;
  }
  QDialog::closeEvent(event);
}

void TDrukTransTest::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    PrzerwijClick();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (QApplication::focusWidget() == Button1) PrzerwijClick();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TDrukTransTest::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // A reply wait the user broke off: the printer is not answering, so the run ends (asking it
  // about an open receipt would only mean another wait).
  if (started_ && !closing_ && context_.link.ReplyReceived == 0)
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (!closing_) EndRun(QDialog::Rejected);
        },
        Qt::QueuedConnection);
}

// ---- TTransakcjeTestowe ----

TTransakcjeTestowe::TTransakcjeTestowe(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setObjectName(QStringLiteral("TTransakcjeTestowe"));
  setWindowTitle(Utf8("Transakcje testowe"));
  auto* layout = new QVBoxLayout(this);

  auto* receipts = new QGroupBox(Utf8("Liczba paragonów"));
  auto* receiptsLayout = new QGridLayout(receipts);
  RadioUnlimited = MakeRadio("RadioUnlimited", "Bez ograniczeń");
  RadioLimited = MakeRadio("RadioLimited", "Określona liczba paragonów");
  EditLimit = MakeEdit("EditLimit", "0");
  receiptsLayout->addWidget(RadioUnlimited, 0, 0);
  receiptsLayout->addWidget(RadioLimited, 1, 0);
  receiptsLayout->addWidget(EditLimit, 1, 1);
  layout->addWidget(receipts);

  auto* lines = new QGroupBox(Utf8("Liczba pozycji paragonu"));
  auto* linesLayout = new QGridLayout(lines);
  RadioFixed = MakeRadio("RadioFixed", "Ustalona");
  EditFixed = MakeEdit("EditFixed", "0");
  RadioRandom = MakeRadio("RadioRandom", "Generowana losowo");
  EditFrom = MakeEdit("EditFrom", "0");
  EditTo = MakeEdit("EditTo", "48");
  linesLayout->addWidget(RadioFixed, 0, 0);
  linesLayout->addWidget(EditFixed, 0, 1, 1, 4);
  linesLayout->addWidget(RadioRandom, 1, 0);
  linesLayout->addWidget(new QLabel(Utf8("Od")), 1, 1);
  linesLayout->addWidget(EditFrom, 1, 2);
  linesLayout->addWidget(new QLabel(Utf8("Do")), 1, 3);
  linesLayout->addWidget(EditTo, 1, 4);
  layout->addWidget(lines);

  auto discountBox = [&](const char* title, const char* prefix, QRadioButton*& none,
                         QRadioButton*& random, QLineEdit*& max) {
    auto* box = new QGroupBox(Utf8(title));
    auto* boxLayout = new QGridLayout(box);
    none = MakeRadio((std::string(prefix) + "None").c_str(), "Brak");
    random = MakeRadio((std::string(prefix) + "Random").c_str(), "Generowany losowo");
    max = MakeEdit((std::string(prefix) + "Max").replace(0, 5, "Edit").c_str(), "99,99");
    boxLayout->addWidget(none, 0, 0);
    boxLayout->addWidget(random, 1, 0);
    boxLayout->addWidget(new QLabel(Utf8("Wartość maks. [%]")), 1, 1);
    boxLayout->addWidget(max, 1, 2);
    layout->addWidget(box);
  };
  discountBox("Rabat do pozycji", "RadioLine", RadioLineNone, RadioLineRandom, EditLineMax);
  discountBox("Rabat od całej transakcji", "RadioReceipt", RadioReceiptNone, RadioReceiptRandom,
              EditReceiptMax);

  MethodBox = new QGroupBox(Utf8("Metoda rozliczania rabatu"));
  auto* methodLayout = new QHBoxLayout(MethodBox);
  RadioMethod1 = MakeRadio("RadioMethod1", "Metoda 1");
  RadioMethod2 = MakeRadio("RadioMethod2", "Metoda 2");
  methodLayout->addWidget(RadioMethod1);
  methodLayout->addWidget(RadioMethod2);
  layout->addWidget(MethodBox);

  CheckOnline = new QCheckBox(Utf8("Paragon on-line"));
  CheckOnline->setObjectName(QStringLiteral("CheckOnline"));
  CheckDrawer = new QCheckBox(Utf8("Otwórz szufladę po transakcji"));
  CheckDrawer->setObjectName(QStringLiteral("CheckDrawer"));
  CheckVerify = new QCheckBox(Utf8("Większa kontrola transisji"));
  CheckVerify->setObjectName(QStringLiteral("CheckVerify"));
  layout->addWidget(CheckOnline);
  layout->addWidget(CheckDrawer);
  layout->addWidget(CheckVerify);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  Button1 = new QPushButton(Utf8("&Rozpocznij"));
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2 = new QPushButton(Utf8("&Anuluj"));
  Button2->setObjectName(QStringLiteral("Button2"));
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
  Button1->setDefault(true);

  // Each pair of choices sits in a box of its own, so the two are exclusive; Tab enters a
  // pair at the choice made and the arrow keys move within it.
  for (QRadioButton* radio : {RadioUnlimited, RadioFixed, RadioLineNone, RadioReceiptNone})
    connect(radio, &QRadioButton::toggled, this, &TTransakcjeTestowe::UpdateFields);

  // The defaults.
  RadioUnlimited->setChecked(true);
  RadioRandom->setChecked(true);
  RadioLineRandom->setChecked(true);
  RadioReceiptRandom->setChecked(true);
  RadioMethod1->setChecked(true);
  CheckOnline->setChecked(true);
  CheckDrawer->setChecked(true);
  CheckVerify->setChecked(false);
  UpdateFields();

  connect(Button1, &QPushButton::clicked, this, &TTransakcjeTestowe::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  progress_ = new TDrukTransTest(context_, run_, totals_, this);
}

TTransakcjeTestowe::~TTransakcjeTestowe() = default;

bool TTransakcjeTestowe::focusNextPrevChild(bool next) {
  // The form's order: each pair of choices is one stop (at the choice made), then the fields
  // that belong to it, as far as they can be used.
  auto choice = [](QRadioButton* a, QRadioButton* b) -> QWidget* { return b->isChecked() ? b : a; };
  const QWidget* candidates[] = {choice(RadioUnlimited, RadioLimited),
                                 EditLimit,
                                 choice(RadioFixed, RadioRandom),
                                 EditFixed,
                                 EditFrom,
                                 EditTo,
                                 choice(RadioLineNone, RadioLineRandom),
                                 EditLineMax,
                                 choice(RadioReceiptNone, RadioReceiptRandom),
                                 EditReceiptMax,
                                 choice(RadioMethod1, RadioMethod2),
                                 CheckOnline,
                                 CheckDrawer,
                                 CheckVerify,
                                 Button1,
                                 Button2};
  std::vector<QWidget*> order;
  for (const QWidget* w : candidates)
    if (w->isVisibleTo(this) && w->isEnabled()) order.push_back(const_cast<QWidget*>(w));
  QWidget* focused = focusWidget();
  // An unchecked choice (reached by the mouse) stands for its pair.
  auto partner = [&](QWidget* w) -> QWidget* {
    const std::pair<QRadioButton*, QRadioButton*> pairs[] = {{RadioUnlimited, RadioLimited},
                                                             {RadioFixed, RadioRandom},
                                                             {RadioLineNone, RadioLineRandom},
                                                             {RadioReceiptNone, RadioReceiptRandom},
                                                             {RadioMethod1, RadioMethod2}};
    for (const auto& [a, b] : pairs)
      if (w == a || w == b) return choice(a, b);
    return w;
  };
  focused = partner(focused);
  auto at = std::find(order.begin(), order.end(), focused);
  if (order.empty()) return false;
  std::size_t index = 0;
  if (at != order.end()) {
    const std::size_t current = static_cast<std::size_t>(at - order.begin());
    index = next ? (current + 1) % order.size() : (current + order.size() - 1) % order.size();
  }
  order[index]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

void TTransakcjeTestowe::UpdateFields() {
  EditLimit->setEnabled(RadioLimited->isChecked());
  EditFixed->setEnabled(RadioFixed->isChecked());
  EditFrom->setEnabled(RadioRandom->isChecked());
  EditTo->setEnabled(RadioRandom->isChecked());
  EditLineMax->setEnabled(RadioLineRandom->isChecked());
  EditReceiptMax->setEnabled(RadioReceiptRandom->isChecked());
}

void TTransakcjeTestowe::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  const bool mavito = context_.settings.PrinterType == 2;
  MethodBox->setVisible(mavito);
  CheckDrawer->setVisible(mavito);
  adjustSize();
  // The first field: the receipt-count choice that is made.
  (RadioUnlimited->isChecked() ? RadioUnlimited : RadioLimited)->setFocus(Qt::TabFocusReason);
}

void TTransakcjeTestowe::Button1Click() {
  TestRunForm form;
  form.limitedReceipts = RadioLimited->isChecked();
  form.receiptLimit = EditLimit->text().toStdString();
  form.fixedLines = RadioFixed->isChecked();
  form.fixedLineCount = EditFixed->text().toStdString();
  form.linesFrom = EditFrom->text().toStdString();
  form.linesTo = EditTo->text().toStdString();
  form.randomLineDiscount = RadioLineRandom->isChecked();
  form.lineDiscountMax = EditLineMax->text().toStdString();
  form.randomReceiptDiscount = RadioReceiptRandom->isChecked();
  form.receiptDiscountMax = EditReceiptMax->text().toStdString();
  form.discountMethod1 = RadioMethod1->isChecked();
  form.online = CheckOnline->isChecked();
  form.openDrawer = CheckDrawer->isChecked();
  form.verifyTotals = CheckVerify->isChecked();
  const TestRunCheck check = CheckTestRunForm(form, context_.settings.PrinterType, run_);
  if (check.result == TestRunCheck::Result::Refused) {
    context_.link.ui().ShowMessage(check.message);
    return;
  }
  if (check.result == TestRunCheck::Result::Start) accept();
}

int TTransakcjeTestowe::exec() {
  run_.TestRunActive = 0;
  const int result = QDialog::exec();
  if (PrepareTestRun(context_.link, run_, totals_)) {
    progress_->exec();
    run_.TestRunActive = 0;
    CheckTestRunTotals(context_.link, run_, totals_);
  }
  return result;
}

}  // namespace ulvo
