#include "shell/core/command_trees.h"

namespace ulvo {
namespace {

// One row of a family table: which of types 0, 1, 2 have the node.
struct Row {
  const char* label;
  const char* dialog;
  bool type0, type1, type2;
};

bool Has(const Row& row, std::uint8_t type) {
  switch (type) {
    case 0:
      return row.type0;
    case 1:
      return row.type1;
    default:
      return row.type2;
  }
}

void AddRows(std::vector<TreeNode>& out, std::initializer_list<Row> rows, std::uint8_t type) {
  for (const Row& row : rows)
    if (Has(row, type)) out.push_back({row.label, row.dialog, {}});
}

std::vector<TreeNode> Podstawowe(std::uint8_t type) {
  std::vector<TreeNode> nodes;
  AddRows(nodes,
          {
              {"Logowanie kasjera", "TLogowanieKasjera", false, true, true},
              {"Paragon za 1 grosik", "TParagonZa1", true, true, true},
              {"Wydruk raportu dobowego", "TWydrukRaportuDobowego", true, true, true},
              {"Korekta zegara", "TKorektaZegara", true, true, true},
              {"Raport okresowy", "TWydrukRaportOkresowy", true, true, true},
              {"Odczytaj raport okresowy", "TOdczytajRaportOkresowy", false, false, true},
          },
          type);
  return nodes;
}

std::vector<TreeNode> Konfiguracja(const Settings& s) {
  const std::uint8_t type = s.PrinterType;
  std::vector<TreeNode> nodes;
  AddRows(
      nodes,
      {
          {"Sposób obsługi błędów", "TSposobBledow", true, true, true},
          {"Kodowanie polskich liter", "TKodowaniePolskich", false, false, true},
          {"Parametry otwierania szuflady", "TParametrySzuflady", false, false, true},
          {"Oszczędność papieru", "TSposobDruowania", false, false, true},
          {"Metoda obliczania rabatu", "TMetodaRabatu", false, false, true},
          {"Przypominanie o raporcie miesięcznym", "TRaportyMiesieczne", false, false, true},
          {"Minimalny czas sterowania zwijaczem", "TMinimalnyCzasSterZwijacz", false, false, true},
          {"Czujnik pokrywy", "TCzujnikObudowy", false, false, true},
      },
      type);
  if (type == 2 && !s.BusMode) {
    nodes.push_back(
        {"Protokół transmisji",
         "",
         {
             {"Konfiguracja czasu odpowiedzi", "TKonfiguracjaCzasuOdp", {}},
             {"Sposób obsługi kaucji w linijce paragonu",
              "TSposobObslugiKaucjiWLinijceParagonu",
              {}},
             {"Otwieranie szuflady po transakcji", "TAutomatyczneOtwieranieSzuflady", {}},
             {"Definicja nr systemowego", "TDefinicjaNrSystemowego", {}},
             {"Definicja odpowiedzi na rozkaz #v", "TWpisanieTypuIWersji", {}},
         }});
    if (s.ElectronicCopy) nodes.push_back({"Szybkość wydruku", "TSzybkoscWydruku", {}});
  }
  return nodes;
}

std::vector<TreeNode> Transakcja(std::uint8_t type) {
  std::vector<TreeNode> nodes;
  AddRows(nodes,
          {
              {"Początek transakcji", "TPoczatekTransakcji", true, true, true},
              {"Linijka paragonu", "TLinijkaParagonu", true, true, true},
              {"Linijki paragonu", "TLinijkiParagonu", false, true, true},
              {"Zatwierdzenie transakcji", "TZatwierdzenieTransakcji", true, true, true},
              {"Zatwierdzenie rozszerzone", "TZatwierdzenieRozszerzone", false, true, true},
              {"Anulowanie transakcji", "TAnulowanieTransakcji", true, true, true},
              {"Potwierdzenie obciążenia karty płatniczej", "TPowitowanieSprzedarzy", false, true,
               true},
              {"Potwierdzenie uznania karty płatniczej", "TTransakcjaUznana", false, true, true},
              {"Transakcje testowe", "TTransakcjeTestowe", true, true, true},
              {"Pełna transakcja", "TPelnaTranskacja", true, true, true},
          },
          type);
  return nodes;
}

std::vector<TreeNode> Diagnostyczne(const Settings& s) {
  std::vector<TreeNode> nodes;
  AddRows(nodes,
          {
              {"Odeślij kod ostatniego błędu", "TOdeslijKodBledu", true, true, true},
              {"Odeślij informacje kasowe", "TInformacjeKasowe", true, true, true},
              {"Odczyt zegara", "TOdczytZegara", true, true, true},
              {"Status", "TStatusDrukarki", true, true, true},
              {"Typ i wersja", "TTypIWersja", true, true, true},
              {"Odeślij zawartość bufora odbiorczego", "TOdeslijBufor", false, false, true},
              {"Drukuj tablicę błędów", "TDrukujTabliceBledow", false, false, true},
              {"Odeślij ustawienia drukarki", "TOdczytUstawienDrukarki", false, false, true},
          },
          s.PrinterType);
  if (s.PrinterType == 2 && s.ElectronicCopy) {
    nodes.push_back({"Sprawdź nr kontrolny paragonu", "TNrKontrolnyPar", {}});
    nodes.push_back({"Sprawdź nr kontrolny rap. dobowego", "TNrKontrolnyRapDobowego", {}});
  }
  return nodes;
}

std::vector<TreeNode> Dodatkowe() {
  return {
      {"Raport okresowy", "TWydrukRaportOkresowy", {}},
      {"Raport kasy/zmiany", "TRaportKasyZmiany", {}},
      {"Logowanie kasjera", "TLogowanieKasjera", {}},
      {"Wylogowanie kasjera", "TWylogowanieKasjera", {}},
      {"Kasa",
       "",
       {
           {"Wpłata do kasy", "TWplataDoKasy", {}},
           {"Wypłata z kasy", "TWyplataZKasy", {}},
           {"Stan kasy", "TStanKasy", {}},
       }},
      {"Zamówienia",
       "",
       {
           {"Początek zamówienia", "TPoczatekZamowienia", {}},
           {"Linijka zamówienia", "TLinijkaZamowienia", {}},
           {"Zakończenie zamówienia", "TZakonczenieZamowienia", {}},
       }},
      {"Raport kontroli bazy towarowej",
       "",
       {
           {"Początek raportu", "TPoczateRaportuBazy", {}},
           {"Pozycja raportu", "TPozycjaRaportuBazy", {}},
           {"Zakończenie raportu", "TZakonczenieRaportuBazy", {}},
           {"Pełna kontrola bazy", "TPelnaKontrolaBazy", {}},
       }},
      {"Wysuw papieru", "TWysuwPapieru", {}},
      {"Sterowanie wyświetlaczem/szufladą", "TSterowanieWyswietlaczem", {}},
  };
}

std::vector<TreeNode> Programowanie(const Settings& s) {
  std::vector<TreeNode> nodes;
  AddRows(
      nodes,
      {
          {"Programowanie nagłówka", "TProgramowanieNaglowka", true, true, true},
          {"Programowanie stawek PTU",
           s.BusMode ? "TProgramowanieStawekPTUBus" : "TProgramowanieStawek", true, true, true},
          {"Programowanie NIP (szkoleniowo)", "TProgramowanieNIP", true, true, true},
          {"Przeglądy serwisowe", "TPrzegladySerwisowe", false, false, true},
          {"Programowanie waluty ewidencyjnej", "TZmianaWalutyEwidencyjnej", false, false, true},
          {"Przeliczanie na waluty obce", "TPrzeliczenieNaWaluty", false, false, true},
      },
      s.PrinterType);
  return nodes;
}

}  // namespace

const char* PageCaption(Page page) {
  switch (page) {
    case Page::Podstawowe:
      return "Podstawowe";
    case Page::Konfiguracja:
      return "Konfiguracja";
    case Page::Transakcja:
      return "Transakcja";
    case Page::Diagnostyczne:
      return "Diagnostyczne";
    case Page::Dodatkowe:
      return "Dodatkowe";
    case Page::Programowanie:
      return "Programowanie";
    case Page::Bus:
      return "Bus";
  }
  return "";
}

std::vector<TreeNode> CommandTree(Page page, const Settings& settings) {
  switch (page) {
    case Page::Podstawowe:
      return Podstawowe(settings.PrinterType);
    case Page::Konfiguracja:
      return Konfiguracja(settings);
    case Page::Transakcja:
      return Transakcja(settings.PrinterType);
    case Page::Diagnostyczne:
      return Diagnostyczne(settings);
    case Page::Dodatkowe:
      return Dodatkowe();
    case Page::Programowanie:
      return Programowanie(settings);
    case Page::Bus:
      return {{"Kontrola bazy towarowej w drukarce Bus", "TKontrolaBazyTowarowejDlaBus", {}}};
  }
  return {};
}

std::vector<Page> VisiblePages(const Settings& settings) {
  std::vector<Page> pages = {Page::Podstawowe,    Page::Konfiguracja, Page::Transakcja,
                             Page::Diagnostyczne, Page::Dodatkowe,    Page::Programowanie};
  if (settings.BusMode) pages.push_back(Page::Bus);
  return pages;
}

bool IsRebuiltPage(Page page) {
  return page != Page::Dodatkowe && page != Page::Bus;
}

bool IsKeyboardPage(Page page) {
  return page != Page::Programowanie && page != Page::Bus;
}

bool NodeNeedsPort(Page page, const std::string& dialog, std::uint8_t printerType) {
  if (page != Page::Diagnostyczne) return false;
  return !(printerType == 2 && dialog == "TDrukujTabliceBledow");
}

}  // namespace ulvo
