#include "link/error_texts.h"

#include <array>

namespace ulvo {
namespace {

constexpr int kErrorCount = 162;

// The printer's own wording, kept as it stands (line breaks included).
constexpr std::array<std::string_view, kErrorCount> MakeErrorTable() {
  std::array<std::string_view, kErrorCount> t{};
  t[0] = "Rozkaz nierozpoznany.";
  t[1] = "Nie zainicjalizowany zegar RTC.";
  t[2] = "Błąd bajtu kontrolnego.";
  t[3] = "Zła ilość parametrów.";
  t[4] = "Błąd parametru sterującego.";
  t[5] = "Błąd operacji z zegarem RTC lub nie ustawiona data i czas.";
  t[6] = "Błąd operacji z pamięcią fiskalną.";
  t[7] = "Data wcześniejsza od daty ostatniego zapisu w pamięci fisk.";
  t[8] = "Wykonanie operacji niemożliwe - niezerowe totalizery.";
  t[9] = "Nie występuje.";
  t[10] = "Zmiana czasu wykracza poza dopuszczalny zakres.";
  t[11] = "Zła ilość wartości PTU lub błąd wartości PTU.";
  t[12] = "Błędny nagłówek (np. za długi lub zawierający błędne znaki).";
  t[13] = "Próba fiskalizacji urządzenia w trybie fiskalnym.";
  t[14] = "Nie występuje.";
  t[15] = "Błąd dodatkowych linii tekstu (np. za długie).";
  t[16] = "Błąd parametru <nazwa> (np. zbyt długa lub pusta).";
  t[17] = "Błąd parametru <ilość> (pusty, zbyt długi, ilość = 0).";
  t[18] = "Błędne oznaczenie lub niedozwolona zmiana stawki PTU.";
  t[19] = "Błąd parametru CENA (format, zakres).";
  t[20] = "Błąd parametru BRUTTO lub RABAT.";
  t[21] = "Rozkaz odebrany przez drukarkę poza trybem transakcji.";
  t[22] = "Przepełnienie lub wartość ujemna jednego z rejestrów paragonu.";
  t[23] = "Błędna liczba pozycji paragonu.";
  t[24] = "Nie występuje.";
  t[25] =
      "Błąd kodu terminala/kasjera, linii tekstu informacyjnego,\r\n"
      "nazwy karty, czeku lub bonu.";
  t[26] = "Błąd kwot związanych z formami płatności lub rozliczeniem opakowań zwrotnych.";
  t[27] = "Błąd kwoty TOTAL lub RABAT.";
  t[28] = "Przepełnienie totalizera.";
  t[29] = "Próba pozytywnego zakończenia paragonu, który nie został jeszcze otwarty.";
  t[30] = "Błąd kwoty WPŁATA lub WYPŁATA.";
  t[31] = "Przepełnienie jednego z rejestrów kasowych.";
  t[32] = "-Wartość po odjęciu staje się ujemna (przyjmuje się wówczas stan zerowy kasy !).";
  t[33] = "Błąd napisu <zmiana> (np. za długi).";
  t[34] = "Błąd napisu <kasjer>.";
  t[35] = "Zerowy stan totalizerów (raport fiskalny dobowy).";
  t[36] = "Już istnieje zapis o tej dacie.";
  t[37] = "Operacja przerwana z klawiatury drukarki.";
  t[38] = "Błąd nazwy.";
  t[39] = "Błąd oznaczenia PTU.";
  t[40] = "Nie występuje.";
  t[41] = "Błąd napisu <numer_kasy> (za długi lub zawierający błędne znaki).";
  t[42] = "Błąd napisu <numer_kasjera>.";
  t[43] = "Błąd napisu <numer_par>.";
  t[44] = "Błąd napisu <kontrahent>.";
  t[45] = "Błąd napisu <terminal>.";
  t[46] = "Błąd napisu <nazwa_karty>";
  t[47] = "Błąd napisu <numer_karty>";
  t[48] = "Błąd napisu <data_m>.";
  t[49] = "Błąd napisu <data_r>.";
  t[50] = "Błąd napisu <kod_autoryz>.";
  t[51] = "Błąd wartości <kwota>.";
  t[82] = "Rozkaz niedozwolony w trakcie trwania transakcji";
  t[83] = "Zła wartość kaucji przesłanej w $z.";
  t[84] = "Przekroczona liczba wysłanych napisów na wyświetlacz.";
  t[90] = "Operacja tylko z kaucjami - nie można wysłać towarów.";
  t[91] =
      "Błąd w zakończeniu transakcji związany z formami płatności.\r\n"
      "Była wysłana forma płatności - nie można wysłać towarów.";
  t[92] = "Przepełnienie bazy towarowej.";
  t[93] = "Błąd anulowania formy płatności.";
  t[94] = "Przekroczenie maksymalnej kwoty sprzedaży.";
  t[95] = "Próba ponownego rozpoczęcia transakcji (drukarka w trybie transakcji).";
  t[119] =
      "Pamięć podręczna kopii elektronicznej została zapełniona. Aby ją zwolnić należy wyknoać "
      "raport dobowy.";
  t[120] = "Niezgodne ozanczenie waluty ewidencyjnej z oznaczenim podanym w przeliczniku.";
  t[121] = "Waluta ewidencyjna bez zmian.";
  t[122] = "Zapełniony rejestr walut.";
  t[123] =
      "Została zaprogramowana zmiana waluty w określonym terminie.\n"
      "Jeśli chcesz wykonać tę opercję należy anulować zminę waluty.";
  t[124] = "Brak zaprogramowanej waluty ewidenycjnej.";
  t[125] =
      "Jeżeli zainstalowano czujnik pokrywy obudowy to załóż pokrywę.\n"
      "Jeżeli nie ma czujnika obudowy w drukarce to nie można wykonać tego rozkazu.";
  t[126] = "Wykonaj pełny raport miesięczny za ostatnio zakończony miesiąc.";
  t[127] = "Należy podać nr paragonu, z którym powiązany jest ten wydruk.";
  t[129] = "Korekta zegara nie więcej niż o 70 minut.";
  t[130] = "Przekroczono maksymalną ilość zerowań RAM";
  t[131] = "Przy programowaniu stawek nowe stawki są identyczne z już zapisanymi w drukarce.";
  t[132] = "Przekroczono liczbę pozycji paragonu dla trybu off-line.";
  t[133] =
      "Próba wydruku raportu okresowego miesięcznego za miesiąc, który nie został jeszcze "
      "zakończony.";
  t[134] = "Niezaprogramowane stawki PTU.";
  t[135] = "Błedny format daty. (np. 30 luty).";
  t[136] = "Korekta zegara jest możliwa tylko po raporcie dobowym.";
  t[140] = "Operacja niedozwolona w czasie trwania transakcji.";
  t[141] =
      "Niedozwolona zmiana stawki PTU dla danej nazwy towaru.Wystąpiło zmniejszenie stawki a "
      "następnie jej zwiększenie.";
  t[142] = "Zapełniony rejestr stawek PTU (zapisano 30 zmian stawek).";
  t[143] = "Błędny NIP lub numer unikatowy.";
  t[144] =
      "Próba zaprogramowania NIP lub numeru unikatowego w przypadku,\r\n"
      "gdy był już zaprogramowany.";
  t[145] = "Wykonanie operacji niemożliwe z powodu nie zaprogramowania numeru unikatowego.";
  t[146] = "Wykonanie operacji niemożliwe z powodu niezaprogramowania numeru NIP.";
  t[147] =
      "Wykonanie operacji niemożliwe z powodu\r\n"
      " niezaprogramowania nagłówka firmowego (nazwy i adresu podatnika).";
  t[148] = "Wykonanie operacji niemożliwe - drukarka jest w trybie serwisowym.";
  t[149] =
      "Wykonanie operacji niemożliwe\r\n"
      "- pamięć fiskalna znajduje się w stanie \"tylko do odczytu\".";
  t[150] = "Wystąpił błąd pamięci flash.";
  t[151] = "Wystąpił błąd pamięci EEPROM.";
  t[152] = "Błąd bazy towarowej.";
  t[153] =
      "Baza towarowa została skasowana. Aby kontynuować pracę,\r\n"
      "należy wykonać raport fiskalny dobowy.";
  t[154] =
      "Wystąpił błąd totalizerów. Aby kontynuować pracę,\r\n"
      "należy wykonać raport fiskalny dobowy.";
  t[155] =
      "Nastąpiła zmiana daty, a nie wykonano raportu fiskalnego dobowego\r\n"
      "- należy wykonać raport dobowy.";
  t[156] = "Totalizer jest zapełniony - należy wykonać raport dobowy.";
  t[157] = "Błędny klucz pamięci fiskalnej.";
  t[158] = "Błędny parametr: klucz.";
  t[159] = "Wykonanie operacji wymaga włączenia trybu serwisowego.";
  t[160] = "Nie podłączono wyświetlacza klienta";
  t[161] = "W drukarce jest klucz poprawny. (Nie można go zmienić).";
  return t;
}

constexpr std::array<std::string_view, kErrorCount> kErrorTexts = MakeErrorTable();

}  // namespace

std::string_view ErrorText(int code) {
  if (code < 0 || code >= kErrorCount) return {};
  return kErrorTexts[code];
}

std::string PrinterErrorMessage(int code) {
  // The printer answers 255 for a command it does not know at all: the same as code 0.
  if (code == 255) code = 0;
  std::string message = "Wystąpił bład nr: ";
  message += std::to_string(code);
  message += ": ";
  message += ErrorText(code);
  return message;
}

}  // namespace ulvo
