#include "shell/readouts/register_readouts.h"

#include "shell/readouts/printer_settings_dialog.h"
#include "shell/readouts/readout_dialogs.h"
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

void RegisterReadoutDialogs(DialogRegistry& registry) {
  Add<TInformacjeKasowe>(registry, "TInformacjeKasowe");
  Add<TOdeslijKodBledu>(registry, "TOdeslijKodBledu");
  Add<TStatusDrukarki>(registry, "TStatusDrukarki");
  Add<TTypIWersja>(registry, "TTypIWersja");
  Add<TOdczytZegara>(registry, "TOdczytZegara");
  Add<TOdeslijBufor>(registry, "TOdeslijBufor");
  Add<TDrukujTabliceBledow>(registry, "TDrukujTabliceBledow");
  Add<TSterowanieWyswietlaczem>(registry, "TSterowanieWyswietlaczem");
  Add<TOdczytUstawienDrukarki>(registry, "TOdczytUstawienDrukarki");
}

}  // namespace ulvo
