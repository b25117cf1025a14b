#include "shell/readouts/register_readouts.h"

#include "shell/readouts/printer_settings_dialog.h"
#include "shell/readouts/readout_dialogs.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterReadoutDialogs(DialogRegistry& registry) {
  registry.Add<TInformacjeKasowe>("TInformacjeKasowe");
  registry.Add<TOdeslijKodBledu>("TOdeslijKodBledu");
  registry.Add<TStatusDrukarki>("TStatusDrukarki");
  registry.Add<TTypIWersja>("TTypIWersja");
  registry.Add<TOdczytZegara>("TOdczytZegara");
  registry.Add<TOdeslijBufor>("TOdeslijBufor");
  registry.Add<TDrukujTabliceBledow>("TDrukujTabliceBledow");
  registry.Add<TSterowanieWyswietlaczem>("TSterowanieWyswietlaczem");
  registry.Add<TOdczytUstawienDrukarki>("TOdczytUstawienDrukarki");
}

}  // namespace ulvo
