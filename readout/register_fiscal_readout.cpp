#include "readout/register_fiscal_readout.h"

#include "readout/control_check_dialogs.h"
#include "readout/periodic_report_dialogs.h"
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

void RegisterFiscalReadoutDialogs(DialogRegistry& registry) {
  Add<TWydrukRaportOkresowy>(registry, "TWydrukRaportOkresowy");
  Add<TOdczytajRaportOkresowy>(registry, "TOdczytajRaportOkresowy");
  Add<TNrKontrolnyPar>(registry, "TNrKontrolnyPar");
  Add<TNrKontrolnyRapDobowego>(registry, "TNrKontrolnyRapDobowego");
}

}  // namespace ulvo
