#include "readout/register_fiscal_readout.h"

#include "readout/control_check_dialogs.h"
#include "readout/periodic_report_dialogs.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterFiscalReadoutDialogs(DialogRegistry& registry) {
  registry.Add<TWydrukRaportOkresowy>("TWydrukRaportOkresowy");
  registry.Add<TOdczytajRaportOkresowy>("TOdczytajRaportOkresowy");
  registry.Add<TNrKontrolnyPar>("TNrKontrolnyPar");
  registry.Add<TNrKontrolnyRapDobowego>("TNrKontrolnyRapDobowego");
}

}  // namespace ulvo
