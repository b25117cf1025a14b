#include "tools/core/test_transactions.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <utility>

#include "common/money.h"
#include "link/frame.h"
#include "link/letter_coding.h"

namespace ulvo {

namespace {

constexpr std::size_t kNameMax = 40;
// A scripted or broken source that keeps giving the refused value must not hang the run.
constexpr int kMaxRedraws = 10000;

constexpr std::chrono::milliseconds kLineDelays[] = {
    std::chrono::milliseconds(25),   std::chrono::milliseconds(300),
    std::chrono::milliseconds(600),  std::chrono::milliseconds(900),
    std::chrono::milliseconds(1200), std::chrono::milliseconds(1500)};
constexpr std::chrono::milliseconds kReceiptDelays[] = {
    std::chrono::milliseconds(25),    std::chrono::milliseconds(7500),
    std::chrono::milliseconds(15000), std::chrono::milliseconds(30000),
    std::chrono::milliseconds(60000), std::chrono::milliseconds(300000)};

std::optional<std::int32_t> ParseWhole(const std::string& text) {
  const std::optional<long> value = ParseInteger(text);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

TestRunCheck Refuse(const char* message) {
  return {TestRunCheck::Result::Refused, message};
}

// One frame from a printf template, check placed. Our frames are short; one that would not
// fit comes back empty and the printer then sees nothing.
std::string Frame(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Frame(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
  if (AddChecksum(buffer, sizeof buffer)) return {};
  return buffer;
}

}  // namespace

TestRunCheck CheckTestRunForm(const TestRunForm& form, std::uint8_t printerType,
                              TestRunSettings& run) {
  const std::optional<std::int32_t> limit = ParseWhole(form.receiptLimit);
  if (!limit) return Refuse("Błędna Wartość : Liczba paragonów -> Oreślona liczba paragonów");
  run.TestReceiptLimit = *limit;
  if (form.limitedReceipts) {
    if (*limit == 0) return {};
    // A negative count would pass for "without limit".
    if (*limit < 0) return Refuse("Błędna Wartość : Liczba paragonów -> Oreślona liczba paragonów");
  } else {
    run.TestReceiptLimit = -1;
  }

  const std::optional<std::int32_t> fixed = ParseWhole(form.fixedLineCount);
  if (!fixed) return Refuse("Błędna Wartość : Liczba pozycji paragonu -> Ustalona");
  run.TestFixedLines = *fixed;
  if (!form.fixedLines) {
    run.TestFixedLines = -1;
  } else if (*fixed < 1) {
    // A receipt without lines cannot be confirmed: the printer would refuse every one.
    return Refuse("Błędna Wartość : Liczba pozycji paragonu -> Ustalona");
  }

  const std::optional<std::int32_t> from = ParseWhole(form.linesFrom);
  if (!from) return Refuse("Błędna Wartość : Liczba pozycji paragonu -> Od");
  run.TestLinesFrom = *from;
  const std::optional<std::int32_t> to = ParseWhole(form.linesTo);
  if (!to) return Refuse("Błędna Wartość : Liczba pozycji paragonu -> Do");
  run.TestLinesTo = *to;
  if (*to < *from) return Refuse("Błędna Wartość : Liczba pozycji paragonu: Do < Od ");
  if (!form.fixedLines) {
    // The draw is repeated while it gives 0; a range that can give nothing else (or only
    // negative counts) would never make a receipt.
    if (*from < 0) return Refuse("Błędna Wartość : Liczba pozycji paragonu -> Od");
    if (*to < 1) return Refuse("Błędna Wartość : Liczba pozycji paragonu -> Do");
  }

  const std::optional<double> lineMax = ParseAmount(form.lineDiscountMax);
  if (!lineMax || (form.randomLineDiscount && (*lineMax > 99.99 || *lineMax < 0)))
    return Refuse("Błędna Wartość : Rabat do pozycji -> Wartość maks. [%]");
  run.TestLineDiscountMax = form.randomLineDiscount ? *lineMax : -1;

  const std::optional<double> receiptMax = ParseAmount(form.receiptDiscountMax);
  if (!receiptMax || (form.randomReceiptDiscount && (*receiptMax > 99.99 || *receiptMax < 0)))
    return Refuse("Błędna Wartość : Rabat do całej transakcji -> Wartość maks. [%]");
  run.TestReceiptDiscountMax = form.randomReceiptDiscount ? *receiptMax : -1;

  run.TestOnline = form.online ? 1 : 0;
  // The Alta Pro takes the percentage part rounded on its own (method 2); the Alta and Alta
  // Plus round the result (method 1), as ComputeAmount does for them; the Mavito is told.
  if (printerType == 2) {
    run.TestDiscountMethod = form.discountMethod1 ? 1 : 2;
  } else {
    run.TestDiscountMethod = printerType == 1 ? 2 : 1;
  }
  run.TestOpenDrawer = form.openDrawer ? 1 : 0;
  run.TestVerifyTotals = form.verifyTotals ? 1 : 0;
  run.TestRunActive = 1;
  run.TestGrandTotal = 0;
  run.TestReceiptCount = 0;
  return {TestRunCheck::Result::Start, {}};
}

std::chrono::milliseconds LineDelay(int position) {
  return kLineDelays[position < 0 ? 0 : position > 5 ? 5 : position];
}

std::chrono::milliseconds ReceiptDelay(int position) {
  return kReceiptDelays[position < 0 ? 0 : position > 5 ? 5 : position];
}

int RuntimeRandom::Next() {
  state_ = state_ * 214013u + 2531011u;
  return static_cast<int>((state_ >> 16) & 0x7FFF);
}

TestReceiptGenerator::TestReceiptGenerator(TestRunSettings& run, RandomSource& random,
                                           std::vector<std::string> goods,
                                           std::uint8_t letterCoding)
    : run_(run), random_(random), goods_(std::move(goods)), letterCoding_(letterCoding) {}

int TestReceiptGenerator::Draw(int modulus) {
  if (modulus <= 0) return 0;
  const int r = random_.Next();
  return (r < 0 ? -r : r) % modulus;
}

double TestReceiptGenerator::RandomPercent(double max) {
  if (max <= 0) return 0;
  // The small addition keeps 99.99 from becoming 9998 through the binary fraction.
  const long k = static_cast<long>(RoundMoney(max) * 100 + 1e-6);
  if (k <= 0) return 0;
  return Draw(static_cast<int>(k)) * 0.01;
}

TestReceiptGenerator::Step TestReceiptGenerator::NextStep() {
  if (receipt_.LineNumber == 0) return {StepKind::Open, MakeOpening()};
  if (receipt_.LineNumber <= receipt_.PlannedLines) return {StepKind::Line, MakeLine()};
  return {StepKind::Confirm, MakeConfirmation()};
}

std::string TestReceiptGenerator::MakeOpening() {
  std::int32_t planned = run_.TestFixedLines;
  if (planned == -1) {
    const long long span =
        static_cast<long long>(run_.TestLinesTo) - static_cast<long long>(run_.TestLinesFrom) + 1;
    const int modulus = span > INT32_MAX ? INT32_MAX : static_cast<int>(span);
    planned = 0;
    for (int i = 0; i < kMaxRedraws && planned == 0; ++i)
      planned = run_.TestLinesFrom + Draw(modulus);
    if (planned <= 0) planned = 1;
  }
  receipt_ = GeneratedReceipt{};
  receipt_.PlannedLines = planned;
  receipt_.LineNumber = 1;
  run_.TestReceiptCount += 1;
  if (run_.TestOnline) return Frame("%cP0$hxx%c%c", kEsc, kEsc, kBackslash);
  return Frame("%cP%d$hxx%c%c", kEsc, static_cast<int>(planned), kEsc, kBackslash);
}

std::string TestReceiptGenerator::MakeLine() {
  const int count = goods_.empty() ? 1 : static_cast<int>(goods_.size());
  const int g = Draw(count);
  std::string name = goods_.empty() ? std::string("Towar") : goods_[static_cast<std::size_t>(g)];
  EncodePolishLetters(name, letterCoding_);
  if (name.size() > kNameMax) name.resize(kNameMax);
  const char letter = static_cast<char>('A' + g % 3);

  int q = 0;
  for (int i = 0; i < kMaxRedraws && q == 0; ++i) q = Draw(10);
  if (q == 0) q = 1;
  int n = 0;
  for (int i = 0; i < kMaxRedraws && n == 0; ++i) n = Draw(100000);
  if (n == 0) n = 1;
  const double quantity = RoundMoney(q);
  const double price = RoundMoney(n * 0.01);
  const double gross = RoundMoney(quantity * price);

  double value = gross;
  std::string frame;
  const int line = receipt_.LineNumber;
  if (run_.TestLineDiscountMax == -1) {
    frame = Frame("%cP%d$l%s\r%.2f\r%c/%.2f/%.2f/xx%c%c", kEsc, line, name.c_str(), quantity,
                  letter, price, gross, kEsc, kBackslash);
  } else {
    double percent = 0;
    value = 0;
    for (int i = 0; i < kMaxRedraws && !(value > 0); ++i) {
      percent = RandomPercent(run_.TestLineDiscountMax);
      if (run_.TestDiscountMethod == 2) {
        value = gross - RoundMoney(gross * percent / 100);
      } else {
        value = gross * (1 - percent / 100);
      }
      value = RoundMoney(value);
    }
    if (!(value > 0)) {
      percent = 0;
      value = gross;
    }
    frame = Frame("%cP%d;2$l%s\r%.2f\r%c/%.2f/%.2f/%.2f/xx%c%c", kEsc, line, name.c_str(), quantity,
                  letter, price, gross, percent, kEsc, kBackslash);
  }
  receipt_.ReceiptSum += value;
  receipt_.LetterSums[static_cast<std::size_t>(letter - 'A')] += value;
  receipt_.LineNumber += 1;
  return frame;
}

std::string TestReceiptGenerator::MakeConfirmation() {
  std::string frame;
  const double sum = receipt_.ReceiptSum;
  if (run_.TestReceiptDiscountMax == -1) {
    frame = Frame("%cP1$e00A\r%.2f/%.2f/xx%c%c", kEsc, sum, sum, kEsc, kBackslash);
  } else {
    const double percent = RandomPercent(run_.TestReceiptDiscountMax);
    frame = Frame("%cP1;0;0;0;1$e00A\r%.2f/%.2f/%.2f/xx%c%c", kEsc, sum, sum, percent, kEsc,
                  kBackslash);
    for (double& s : receipt_.LetterSums) {
      if (run_.TestDiscountMethod == 2) {
        s = s - RoundMoney(s * percent / 100);
      } else {
        s = s * (1 - percent / 100);
      }
      s = RoundMoney(s);
    }
  }
  double total = 0;
  for (double s : receipt_.LetterSums) total += s;
  receipt_.ReceiptSum = total;
  run_.TestGrandTotal += total;
  receipt_.LineNumber = 0;
  return frame;
}

}  // namespace ulvo
