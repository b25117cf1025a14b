#pragma once
// The test transaction generator: the run settings, their check, and the receipts made up
// from the goods list. Qt-free; the random numbers come from an injected source, so the
// frames of a whole receipt are reproducible.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace ulvo {

// Settings of one test run, written by the settings dialog.
struct TestRunSettings {
  std::uint8_t TestRunActive = 0;
  std::int32_t TestReceiptLimit = -1;  // -1: without limit
  std::int32_t TestFixedLines = -1;    // -1: random
  std::int32_t TestLinesTo = 48;
  std::int32_t TestLinesFrom = 0;
  double TestLineDiscountMax = 99.99;     // -1: no line discounts
  double TestReceiptDiscountMax = 99.99;  // -1: no receipt discount
  std::uint8_t TestOnline = 1;
  std::uint8_t TestDiscountMethod = 1;  // 1 or 2
  std::uint8_t TestOpenDrawer = 1;
  std::uint8_t TestVerifyTotals = 0;
  double TestGrandTotal = 0;
  std::uint32_t TestReceiptCount = 0;
};

// The settings dialog's fields as typed (UTF-8), and its choices.
struct TestRunForm {
  bool limitedReceipts = false;  // "Określona liczba paragonów" (else "Bez ograniczeń")
  std::string receiptLimit = "0";
  bool fixedLines = false;  // "Ustalona" (else "Generowana losowo")
  std::string fixedLineCount = "0";
  std::string linesFrom = "0";
  std::string linesTo = "48";
  bool randomLineDiscount = true;  // "Generowany losowo" (else "Brak")
  std::string lineDiscountMax = "99,99";
  bool randomReceiptDiscount = true;
  std::string receiptDiscountMax = "99,99";
  bool discountMethod1 = true;  // "Metoda 1" (else "Metoda 2"); Mavito only
  bool online = true;           // "Paragon on-line"
  bool openDrawer = true;       // "Otwórz szufladę po transakcji"
  bool verifyTotals = false;    // "Większa kontrola transisji"
};

struct TestRunCheck {
  enum class Result { Start, Refused, Nothing };
  Result result = Result::Nothing;
  std::string message;  // Refused: the message to show (UTF-8)
};

// Checks the form in the dialog's order and, when it passes, fills `run` and starts it
// (TestRunActive 1, grand total and receipt count reset). On a refusal `run` may hold the
// values read so far, as the dialog leaves them.
TestRunCheck CheckTestRunForm(const TestRunForm& form, std::uint8_t printerType,
                              TestRunSettings& run);

// Delay of the "Opóźnienie między pozycjami paragonu" and "Opóźnienie między paragonami"
// sliders at positions 0..5.
std::chrono::milliseconds LineDelay(int position);
std::chrono::milliseconds ReceiptDelay(int position);

// Random numbers 0..32767.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual int Next() = 0;
};

// The runtime's generator: a linear congruential one, values 0..32767.
class RuntimeRandom final : public RandomSource {
 public:
  explicit RuntimeRandom(std::uint32_t seed) : state_(seed) {}
  int Next() override;

 private:
  std::uint32_t state_;
};

// The receipt being generated.
struct GeneratedReceipt {
  std::array<double, 7> LetterSums{};  // per PTU letter A..G
  std::int32_t LineNumber = 0;         // 0: no receipt open; else the next line's number
  std::int32_t PlannedLines = 0;
  double ReceiptSum = 0;
};

class TestReceiptGenerator {
 public:
  enum class StepKind { Open, Line, Confirm };
  struct Step {
    StepKind kind = StepKind::Open;
    std::string frame;  // finished frame, check placed
  };

  // `goods` are Windows-1250 names; `letterCoding` the printer's Polish letter code page.
  TestReceiptGenerator(TestRunSettings& run, RandomSource& random, std::vector<std::string> goods,
                       std::uint8_t letterCoding);

  // The next frame: the opening when no receipt is open, then the lines, then the
  // confirmation (which adds the receipt to the grand total and closes it here).
  Step NextStep();

  // Forgets any receipt in progress (a new run, or the printer's receipt was cancelled).
  void Reset() { receipt_ = GeneratedReceipt{}; }

  const GeneratedReceipt& receipt() const { return receipt_; }

  // The single steps, for tests.
  std::string MakeOpening();
  std::string MakeLine();
  std::string MakeConfirmation();

  // A random percentage below `max`: 0 .. max - 0.01 in steps of 0.01.
  double RandomPercent(double max);

 private:
  int Draw(int modulus);  // r mod modulus

  TestRunSettings& run_;
  RandomSource& random_;
  std::vector<std::string> goods_;
  std::uint8_t letterCoding_;
  GeneratedReceipt receipt_;
};

// The 640 built-in goods names, in Windows-1250.
std::vector<std::string> GoodsNames();

}  // namespace ulvo
