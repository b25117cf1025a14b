#include "tools/currency_dialogs.h"
#include "tools/receipt_dialogs.h"
#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterReceiptDialogs(DialogRegistry& registry) {
  registry.Add<TPoczatekTransakcji>("TPoczatekTransakcji");
  registry.Add<TLinijkaParagonu>("TLinijkaParagonu");
  registry.Add<TZatwierdzenieTransakcji>("TZatwierdzenieTransakcji");
  registry.Add<TZatwierdzenieRozszerzone>("TZatwierdzenieRozszerzone");
  registry.Add<TAnulowanieTransakcji>("TAnulowanieTransakcji");
  registry.Add<TPowitowanieSprzedarzy>("TPowitowanieSprzedarzy");
  registry.Add<TTransakcjaUznana>("TTransakcjaUznana");
  registry.Add<TPrzeliczenieNaWaluty>("TPrzeliczenieNaWaluty");
  registry.Add<TZmianaWalutyEwidencyjnej>("TZmianaWalutyEwidencyjnej");
}

}  // namespace ulvo
