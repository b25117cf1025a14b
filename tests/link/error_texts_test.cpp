#include "link/error_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace ulvo {
namespace {

TEST(PrinterErrorMessage, Code255IsShownAsCode0) {
  EXPECT_EQ(PrinterErrorMessage(255), "Wystąpił bład nr: 0: Rozkaz nierozpoznany.");
}

TEST(PrinterErrorMessage, PrefixSpellsBladWithPlainA) {
  EXPECT_EQ(PrinterErrorMessage(3), "Wystąpił bład nr: 3: Zła ilość parametrów.");
  EXPECT_EQ(PrinterErrorMessage(9), "Wystąpił bład nr: 9: Nie występuje.");
}

TEST(PrinterErrorMessage, CodeWithoutTextShowsNumberAndNothingAfter) {
  EXPECT_EQ(PrinterErrorMessage(60), "Wystąpił bład nr: 60: ");
  EXPECT_EQ(PrinterErrorMessage(128), "Wystąpił bład nr: 128: ");
}

TEST(PrinterErrorMessage, CodesOutsideTheTableNeverIndexIt) {
  EXPECT_EQ(PrinterErrorMessage(-5), "Wystąpił bład nr: -5: ");
  EXPECT_EQ(PrinterErrorMessage(-1), "Wystąpił bład nr: -1: ");
  EXPECT_EQ(PrinterErrorMessage(162), "Wystąpił bład nr: 162: ");
  EXPECT_EQ(PrinterErrorMessage(400), "Wystąpił bład nr: 400: ");
  EXPECT_EQ(ErrorText(-5), "");
  EXPECT_EQ(ErrorText(400), "");
  EXPECT_EQ(ErrorText(2147483647), "");
}

TEST(ErrorText, KeepsCrLfOrLfAsTheTableHasThem) {
  EXPECT_EQ(
      ErrorText(25),
      "Błąd kodu terminala/kasjera, linii tekstu informacyjnego,\r\nnazwy karty, czeku lub bonu.");
  EXPECT_EQ(ErrorText(123),
            "Została zaprogramowana zmiana waluty w określonym terminie.\n"
            "Jeśli chcesz wykonać tę opercję należy anulować zminę waluty.");
  EXPECT_EQ(ErrorText(147),
            "Wykonanie operacji niemożliwe z powodu\r\n"
            " niezaprogramowania nagłówka firmowego (nazwy i adresu podatnika).");
}

TEST(ErrorText, KeepsInnerQuotationMarksAndTypos) {
  EXPECT_EQ(ErrorText(149),
            "Wykonanie operacji niemożliwe\r\n"
            "- pamięć fiskalna znajduje się w stanie \"tylko do odczytu\".");
  EXPECT_EQ(ErrorText(119),
            "Pamięć podręczna kopii elektronicznej została zapełniona. Aby ją zwolnić należy "
            "wyknoać raport dobowy.");
  EXPECT_EQ(ErrorText(120),
            "Niezgodne ozanczenie waluty ewidencyjnej z oznaczenim podanym w przeliczniku.");
  EXPECT_EQ(ErrorText(135), "Błedny format daty. (np. 30 luty).");
  EXPECT_EQ(ErrorText(161), "W drukarce jest klucz poprawny. (Nie można go zmienić).");
}

TEST(ErrorText, ExactlyTheListedCodesHaveAText) {
  int withText = 0;
  for (int code = 0; code <= 161; ++code) {
    const bool listed = code <= 51 || (code >= 82 && code <= 84) || (code >= 90 && code <= 95) ||
                        (code >= 119 && code <= 136 && code != 128) || code >= 140;
    EXPECT_EQ(!ErrorText(code).empty(), listed) << code;
    withText += listed ? 1 : 0;
  }
  EXPECT_EQ(withText, 100);
}

}  // namespace
}  // namespace ulvo
