#include "tools/document_dialogs.h"
#include "tools/line_table_dialogs.h"
#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterTableDialogs(DialogRegistry& registry) {
  registry.Add<TLinijkiParagonu>("TLinijkiParagonu");
  registry.Add<TPelnaTranskacja>("TPelnaTranskacja");
  registry.Add<TPoczatekZamowienia>("TPoczatekZamowienia");
  registry.Add<TLinijkaZamowienia>("TLinijkaZamowienia");
  registry.Add<TZakonczenieZamowienia>("TZakonczenieZamowienia");
  registry.Add<TPoczateRaportuBazy>("TPoczateRaportuBazy");
  registry.Add<TPozycjaRaportuBazy>("TPozycjaRaportuBazy");
  registry.Add<TZakonczenieRaportuBazy>("TZakonczenieRaportuBazy");
  registry.Add<TPelnaKontrolaBazy>("TPelnaKontrolaBazy");
  registry.Add<TKontrolaBazyTowarowejDlaBus>("TKontrolaBazyTowarowejDlaBus");
}

}  // namespace ulvo
