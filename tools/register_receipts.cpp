#include "tools/currency_dialogs.h"
#include "tools/receipt_dialogs.h"
#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

template <typename Dialog>
void Add(DialogRegistry& registry, const char* className) {
  registry.Register(className, [](AppContext& context, QWidget* parent) -> QDialog* {
    return new Dialog(context, parent);
  });
}

}  // namespace

void RegisterReceiptDialogs(DialogRegistry& registry) {
  Add<TPoczatekTransakcji>(registry, "TPoczatekTransakcji");
  Add<TLinijkaParagonu>(registry, "TLinijkaParagonu");
  Add<TZatwierdzenieTransakcji>(registry, "TZatwierdzenieTransakcji");
  Add<TZatwierdzenieRozszerzone>(registry, "TZatwierdzenieRozszerzone");
  Add<TAnulowanieTransakcji>(registry, "TAnulowanieTransakcji");
  Add<TPowitowanieSprzedarzy>(registry, "TPowitowanieSprzedarzy");
  Add<TTransakcjaUznana>(registry, "TTransakcjaUznana");
  Add<TPrzeliczenieNaWaluty>(registry, "TPrzeliczenieNaWaluty");
  Add<TZmianaWalutyEwidencyjnej>(registry, "TZmianaWalutyEwidencyjnej");
}

}  // namespace ulvo
