// The receipt dialogs' frames and line arithmetic, built from their field values.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/letter_coding.h"
#include "tools/core/receipt_frames.h"

namespace ulvo {
namespace {

constexpr int kAlta = 0, kAltaPro = 1, kMavito = 2;

// The frame between ESC and its two check digits ("P...$h...").
std::string Body(const FrameList& list) {
  EXPECT_FALSE(list.Refused()) << list.error;
  EXPECT_EQ(list.frames.size(), 1u);
  if (list.frames.size() != 1 || list.frames[0].size() < 5) return {};
  const std::string& frame = list.frames[0];
  EXPECT_EQ(frame.front(), '\x1B');
  EXPECT_EQ(frame.substr(frame.size() - 2), "\x1B\\");
  return frame.substr(1, frame.size() - 5);
}

TEST(ReceiptOpenFrame, ModeDecidesCountAndSystemNumber) {
  struct Case {
    ReceiptOpenFields fields;
    const char* body;
  };
  const std::vector<Case> cases = {
      // On-line: whatever the count field holds, the count is 0.
      {{"48", "A123", false, false}, "P0;1$h#A123\r"},
      {{"", "", false, false}, "P0;1$h#\r"},
      // Block mode: the count as typed, the system number 0 whatever was typed.
      {{"12", "A123", true, false}, "P12;1$h#0\r"},
      {{"12", "", true, true}, "P12;1$h##0#\r"},
      {{"48", "5901234123457", false, true}, "P0;1$h##5901234123457#\r"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Body(BuildReceiptOpen(c.fields, kMazovia)), c.body) << c.body;
  }
}

TEST(ReceiptOpenFrame, FrameCarriesItsCheck) {
  const FrameList list = BuildReceiptOpen({"48", "A123", false, false}, kMazovia);
  ASSERT_EQ(list.frames.size(), 1u);
  EXPECT_EQ(list.frames[0], "\x1BP0;1$h#A123\rD6\x1B\\");
}

TEST(ReceiptOpenFrame, SystemNumberIsLetterCoded) {
  const std::string windows = Body(BuildReceiptOpen({"", "Żółw", false, false}, kWindows));
  const std::string mazovia = Body(BuildReceiptOpen({"", "Żółw", false, false}, kMazovia));
  EXPECT_EQ(windows, "P0;1$h#\xAF\xF3\xB3w\r");
  EXPECT_NE(mazovia, windows);
}

ReceiptLineFields Line(const char* number, const char* name, int ptu, const char* price,
                       const char* gross, int kind = 0, const char* discount = "0.00",
                       bool storno = false) {
  ReceiptLineFields f;
  f.lineNumber = number;
  f.name = name;
  f.quantity = "1";
  f.ptuIndex = ptu;
  f.price = price;
  f.gross = gross;
  f.discountKind = kind;
  f.discount = discount;
  f.storno = storno;
  return f;
}

TEST(ReceiptLineFrame, FramesAndValues) {
  struct Case {
    ReceiptLineFields fields;
    int printerType;
    const char* body;
    double value;
  };
  const std::vector<Case> cases = {
      {Line("3", "Mleko", 0, "2.50", "2.50"), kMavito, "P3$lMleko\r1\rA/2.50/2.50/", 2.50},
      // STORNO goes out as line 0 whatever "Nr linijki" shows; its value is taken off.
      {Line("7", "Mleko", 0, "2.50", "2.50", 0, "0.00", true), kMavito,
       "P0$lMleko\r1\rA/2.50/2.50/", 2.50},
      // The eighth PTU entry, the deposit, sends "P".
      {Line("2", "Butelka", 7, "0.50", "0.50"), kMavito, "P2$lButelka\r1\rP/0.50/0.50/", 0.50},
      // 10 % off 0.15: Alta Pro rounds the discount (0.015 -> 0.02), the others the result.
      {Line("1", "X", 0, "0.15", "0.15", 2, "10"), kAltaPro, "P1;2$lX\r1\rA/0.15/0.15/10/", 0.13},
      {Line("1", "X", 0, "0.15", "0.15", 2, "10"), kMavito, "P1;2$lX\r1\rA/0.15/0.15/10/", 0.14},
      {Line("1", "X", 0, "0.15", "0.15", 2, "10"), kAlta, "P1;2$lX\r1\rA/0.15/0.15/10/", 0.14},
      // Amounts go out as typed (',' included); the value reads either separator.
      {Line("4", "Y", 1, "10,00", "10,00", 1, "0,25"), kMavito, "P4;1$lY\r1\rB/10,00/10,00/0,25/",
       9.75},
      {Line("5", "Z", 2, "10.00", "10.00", 3, "1.5"), kMavito, "P5;3$lZ\r1\rC/10.00/10.00/1.5/",
       11.50},
      {Line("6", "W", 6, "9.99", "9.99", 4, "10"), kMavito, "P6;4$lW\r1\rG/9.99/9.99/10/", 10.99},
      {Line("6", "W", 6, "9.99", "9.99", 4, "10"), kAltaPro, "P6;4$lW\r1\rG/9.99/9.99/10/", 10.99},
  };
  for (const Case& c : cases) {
    const ReceiptLineFrame line = BuildReceiptLine(c.fields, c.printerType, kMazovia);
    EXPECT_EQ(Body(line.list), c.body) << c.body;
    EXPECT_NEAR(line.value, c.value, 1e-9) << c.body;
  }
}

TEST(ReceiptLineFrame, UnreadableAmountsStopWithTheirMessage) {
  struct Case {
    ReceiptLineFields fields;
    const char* error;
  };
  const std::vector<Case> cases = {
      {Line("1", "X", 0, "1", "abc"), "Błędna Wartość Brutto"},
      {Line("1", "X", 0, "1", ""), "Błędna Wartość Brutto"},
      {Line("1", "X", 0, "1", "1", 1, "1,2,3"), "Błędna Wartość Rabatu"},
      {Line("1", "X", 0, "1", "1", 4, ""), "Błędna Wartość Rabatu"},
  };
  for (const Case& c : cases) {
    const ReceiptLineFrame line = BuildReceiptLine(c.fields, kMavito, kMazovia);
    EXPECT_EQ(line.list.error, c.error);
    EXPECT_TRUE(line.list.frames.empty());
  }
  // Without a discount kind the discount field is not read at all.
  EXPECT_EQ(Body(BuildReceiptLine(Line("1", "X", 0, "1", "1", 0, "??"), kMavito, kMazovia).list),
            "P1$lX\r1\rA/1/1/");
}

TEST(ReceiptLineFrame, FieldOverFortyNineCharactersIsRefusedByName) {
  const std::string fits(49, 'N');
  EXPECT_EQ(Body(BuildReceiptLine(Line("1", fits.c_str(), 0, "1", "1"), kMavito, kMazovia).list),
            "P1$l" + fits + "\r1\rA/1/1/");
  const std::string tooLong(50, 'N');
  const ReceiptLineFrame line =
      BuildReceiptLine(Line("1", tooLong.c_str(), 0, "1", "1"), kMavito, kMazovia);
  EXPECT_TRUE(line.list.frames.empty());
  EXPECT_NE(line.list.error.find("\"Nazwa towaru\""), std::string::npos) << line.list.error;
  // Characters count, not bytes: 49 Polish letters fit.
  std::string polish;
  for (int i = 0; i < 49; ++i) polish += "ż";
  EXPECT_FALSE(
      BuildReceiptLine(Line("1", polish.c_str(), 0, "1", "1"), kMavito, kWindows).list.Refused());
}

TEST(ReceiptLineFrame, CharactersTheCodePageLacksAreCollectedForTheQuestion) {
  const ReceiptLineFrame line =
      BuildReceiptLine(Line("1", "Jalapeño", 0, "1", "1"), kMavito, kWindows);
  EXPECT_EQ(Body(line.list), "P1$lJalape?o\r1\rA/1/1/");
  EXPECT_EQ(line.list.unmappable, U"ñ");
  // A line break typed into a one-line field would split the frame: refused.
  EXPECT_TRUE(BuildReceiptLine(Line("1", "A\rB", 0, "1", "1"), kMavito, kWindows).list.Refused());
}

TEST(ReceiptLineWorking, LeavingQuantityOrPriceRecomputesTheGross) {
  LineWorkingValues values;
  EXPECT_EQ(LeaveQuantity(values, "2").grossText, "0.00");
  EXPECT_EQ(LeavePrice(values, "1,25").grossText, "2.50");
  EXPECT_EQ(LeaveQuantity(values, "0.333").grossText, "0.42");  // 0.41625 rounds up
  EXPECT_EQ(LeavePrice(values, "3").grossText, "1.00");         // 0.999

  const GrossUpdate badQuantity = LeaveQuantity(values, "abc");
  EXPECT_EQ(badQuantity.error, "Błędna wartość ilość");
  EXPECT_TRUE(badQuantity.grossText.empty());
  const GrossUpdate badPrice = LeavePrice(values, "3,x");
  EXPECT_EQ(badPrice.error, "Błędna wartość Cena");
  // Nothing changed: the earlier numbers still give the same gross.
  EXPECT_DOUBLE_EQ(values.quantity, 0.333);
  EXPECT_DOUBLE_EQ(values.price, 3.0);
  EXPECT_NEAR(values.gross, 1.00, 1e-9);
}

ConfirmationFields Confirmation(const char* payment, const char* total, int kind = 0,
                                const char* discount = "0.00", bool withLines = false,
                                const char* lines = "") {
  ConfirmationFields f;
  f.cashier = "KOD";
  f.payment = payment;
  f.total = total;
  f.discountKind = kind;
  f.discount = discount;
  f.withLines = withLines;
  f.additionalLines = lines;
  return f;
}

TEST(ConfirmationFrame, LinesCountAndDiscount) {
  struct Case {
    ConfirmationFields fields;
    const char* body;
  };
  const std::vector<Case> cases = {
      // Without additional lines the payment follows the cashier's CR directly.
      {Confirmation("20.00", "10.00"), "P1;0;0;0;0;8$eKOD\r20.00/10.00/"},
      {Confirmation("10.00", "10.00", 0, "0.00", false, "Niewysłana"),
       "P1;0;0;0;0;8$eKOD\r10.00/10.00/"},
      {Confirmation("10.00", "10.00", 0, "0.00", true, "Linia 1\nLinia 2"),
       "P1;0;2;0;0;8$eKOD\rLinia 1\rLinia 2\r10.00/10.00/"},
      {Confirmation("10.00", "10.00", 0, "0.00", true, "A\r\nB\r\n"),
       "P1;0;3;0;0;8$eKOD\rA\rB\r\r10.00/10.00/"},
      {Confirmation("0", "10.00", 3, "1.00"), "P1;0;0;0;3;8$eKOD\r0/10.00/1.00/"},
      {Confirmation("0", "10.00", 1, "5"), "P1;0;0;0;1;8$eKOD\r0/10.00/5/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Body(BuildConfirmation(c.fields, kMazovia)), c.body) << c.body;
  }
  const FrameList plain = BuildConfirmation(Confirmation("10.00", "10.00"), kMazovia);
  ASSERT_EQ(plain.frames.size(), 1u);
  EXPECT_EQ(plain.frames[0], "\x1BP1;0;0;0;0;8$eKOD\r10.00/10.00/C1\x1B\\");
}

TEST(ConfirmationFrame, AdditionalLinesOverTheirLimitAreRefused) {
  const std::string fits(250, 'L');
  EXPECT_FALSE(
      BuildConfirmation(Confirmation("1", "1", 0, "0", true, fits.c_str()), kMazovia).Refused());
  const std::string tooLong(251, 'L');
  const FrameList list =
      BuildConfirmation(Confirmation("1", "1", 0, "0", true, tooLong.c_str()), kMazovia);
  EXPECT_TRUE(list.frames.empty());
  EXPECT_NE(list.error.find("\"Dodatkowe linie\""), std::string::npos) << list.error;
}

TEST(ConfirmationFrame, LinesAndCashierAreLetterCoded) {
  const std::string windows =
      Body(BuildConfirmation(Confirmation("1", "1", 0, "0", true, "Dziękujemy"), kWindows));
  EXPECT_EQ(windows, "P1;0;1;0;0;8$eKOD\rDzi\xEAkujemy\r1/1/");
  const std::string mazovia =
      Body(BuildConfirmation(Confirmation("1", "1", 0, "0", true, "Dziękujemy"), kMazovia));
  EXPECT_NE(mazovia, windows);
}

ExtendedConfirmationFields Extended() {
  ExtendedConfirmationFields f;
  f.total = "12.00";
  f.cashier = "K1";
  f.payment = "20.00";
  f.change = "8.00";
  f.depositTaken = "0.00";
  f.depositReturned = "0.00";
  f.card = "0.00";
  f.cheque = "0.00";
  f.voucher = "0.00";
  f.discount = "0.00";
  return f;
}

TEST(ExtendedConfirmationFrame, PaddingFlagsAndAmounts) {
  struct Case {
    ExtendedConfirmationFields fields;
    const char* body;
  };
  std::vector<Case> cases;
  // No additional lines: five bare CRs after the cashier's CR, then the three names.
  cases.push_back({Extended(),
                   "P0;0;0;0;0;0;0;0;0;0;0$xK1\r\r\r\r\r\r\r\r\r"
                   "12.00/0.00/20.00/0.00/0.00/0.00/0.00/0.00/8.00/"});
  ExtendedConfirmationFields paid = Extended();
  paid.usePayment = paid.useChange = true;
  paid.useCard = true;
  paid.card = "1.00";  // sent whether its box is set or not
  paid.cardName = "VISA";
  paid.voucher = "3.00";
  paid.discountKind = 3;
  paid.discount = "0.50";
  cases.push_back({paid,
                   "P0;0;0;3;1;1;0;0;0;0;1$xK1\r\r\r\r\r\rVISA\r\r\r"
                   "12.00/0.50/20.00/1.00/0.00/3.00/0.00/0.00/8.00/"});
  ExtendedConfirmationFields twoLines = Extended();
  twoLines.withLines = true;
  twoLines.additionalLines = "L1\nL2";
  cases.push_back({twoLines,
                   "P2;0;0;0;0;0;0;0;0;0;0$xK1\rL1\rL2\r\r\r\r\r\r\r"
                   "12.00/0.00/20.00/0.00/0.00/0.00/0.00/0.00/8.00/"});
  ExtendedConfirmationFields sixLines = Extended();
  sixLines.withLines = true;
  sixLines.additionalLines = "1\n2\n3\n4\n5\n6";
  cases.push_back({sixLines,
                   "P6;0;0;0;0;0;0;0;0;0;0$xK1\r1\r2\r3\r4\r5\r6\r\r\r\r"
                   "12.00/0.00/20.00/0.00/0.00/0.00/0.00/0.00/8.00/"});
  // Lines in the box but not switched on: count 0 and padding only.
  ExtendedConfirmationFields unchecked = Extended();
  unchecked.additionalLines = "L1";
  cases.push_back({unchecked,
                   "P0;0;0;0;0;0;0;0;0;0;0$xK1\r\r\r\r\r\r\r\r\r"
                   "12.00/0.00/20.00/0.00/0.00/0.00/0.00/0.00/8.00/"});
  for (const Case& c : cases) {
    EXPECT_EQ(Body(BuildExtendedConfirmation(c.fields, kMazovia)), c.body) << c.body;
  }
}

TEST(ExtendedConfirmationFrame, EachFlagHasItsPlace) {
  // Flags in frame order: payment, card, cheque, voucher, deposit taken, deposit returned,
  // change.
  bool ExtendedConfirmationFields::*flags[] = {
      &ExtendedConfirmationFields::usePayment,      &ExtendedConfirmationFields::useCard,
      &ExtendedConfirmationFields::useCheque,       &ExtendedConfirmationFields::useVoucher,
      &ExtendedConfirmationFields::useDepositTaken, &ExtendedConfirmationFields::useDepositReturned,
      &ExtendedConfirmationFields::useChange};
  for (int i = 0; i < 7; ++i) {
    ExtendedConfirmationFields f = Extended();
    f.*flags[i] = true;
    std::string expected = "P0;0;0;0";
    for (int j = 0; j < 7; ++j) expected += j == i ? ";1" : ";0";
    EXPECT_EQ(Body(BuildExtendedConfirmation(f, kMazovia)).substr(0, expected.size() + 2),
              expected + "$x");
  }
}

TEST(ExtendedConfirmationFrame, LongPaymentNameIsRefusedByName) {
  ExtendedConfirmationFields f = Extended();
  f.chequeName = std::string(50, 'C');
  const FrameList list = BuildExtendedConfirmation(f, kMazovia);
  EXPECT_TRUE(list.frames.empty());
  EXPECT_NE(list.error.find("\"Nazwa czeku\""), std::string::npos) << list.error;
}

TEST(ReceiptCancelFrame, IsTheShortEnd) {
  const FrameList list = BuildReceiptCancel();
  ASSERT_EQ(list.frames.size(), 1u);
  EXPECT_EQ(list.frames[0], "\x1BP0$e8E\x1B\\");
}

TEST(CardSlipFrames, NumbersTextsAndAmount) {
  CardSlipFields f;
  f.texts = {"1", "2", "345", "Jan Kowalski", "T1", "VISA", "1234", "12", "2030", "AUTH", "12.50"};
  f.registerLine = true;
  f.printing = 2;
  EXPECT_EQ(Body(BuildCardCharge(f)),
            "P0;2#g1\r2\r345\rJan Kowalski\rT1\rVISA\r1234\r12\r2030\rAUTH\r12.50/");
  f.registerLine = false;
  f.printing = 0;
  EXPECT_EQ(Body(BuildCardRefund(f)),
            "P1;0#h1\r2\r345\rJan Kowalski\rT1\rVISA\r1234\r12\r2030\rAUTH\r12.50/");
  // No letter coding: the text goes in Windows-1250 whatever the printer's code page.
  f.texts[3] = "Łukasz";
  EXPECT_EQ(Body(BuildCardCharge(f)).substr(0, 16), "P1;0#g1\r2\r345\r\xA3u");
  f.texts[6] = std::string(50, '9');
  const FrameList list = BuildCardCharge(f);
  EXPECT_NE(list.error.find("\"Numer karty\""), std::string::npos) << list.error;
}

}  // namespace
}  // namespace ulvo
