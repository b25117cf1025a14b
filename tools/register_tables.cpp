#include "tools/document_dialogs.h"
#include "tools/line_table_dialogs.h"
#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

template <typename Dialog>
void Add(DialogRegistry& registry, const char* name) {
  registry.Register(name, [](AppContext& context, QWidget* parent) -> QDialog* {
    return new Dialog(context, parent);
  });
}

}  // namespace

void RegisterTableDialogs(DialogRegistry& registry) {
  Add<TLinijkiParagonu>(registry, "TLinijkiParagonu");
  Add<TPelnaTranskacja>(registry, "TPelnaTranskacja");
  Add<TPoczatekZamowienia>(registry, "TPoczatekZamowienia");
  Add<TLinijkaZamowienia>(registry, "TLinijkaZamowienia");
  Add<TZakonczenieZamowienia>(registry, "TZakonczenieZamowienia");
  Add<TPoczateRaportuBazy>(registry, "TPoczateRaportuBazy");
  Add<TPozycjaRaportuBazy>(registry, "TPozycjaRaportuBazy");
  Add<TZakonczenieRaportuBazy>(registry, "TZakonczenieRaportuBazy");
  Add<TPelnaKontrolaBazy>(registry, "TPelnaKontrolaBazy");
  Add<TKontrolaBazyTowarowejDlaBus>(registry, "TKontrolaBazyTowarowejDlaBus");
}

}  // namespace ulvo
