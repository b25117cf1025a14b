#include "commands/register_commands.h"

#include "commands/catalogue_dialogs.h"
#include "commands/header_dialog.h"
#include "commands/nip_dialog.h"
#include "commands/option_dialogs.h"
#include "commands/ptu_dialogs.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterCommandDialogs(DialogRegistry& registry) {
  registry.Add<TKorektaZegara>("TKorektaZegara");
  registry.Add<TLogowanieKasjera>("TLogowanieKasjera");
  registry.Add<TWylogowanieKasjera>("TWylogowanieKasjera");
  registry.Add<TWplataDoKasy>("TWplataDoKasy");
  registry.Add<TWyplataZKasy>("TWyplataZKasy");
  registry.Add<TStanKasy>("TStanKasy");
  registry.Add<TRaportKasyZmiany>("TRaportKasyZmiany");
  registry.Add<TParametrySzuflady>("TParametrySzuflady");
  registry.Add<TWysuwPapieru>("TWysuwPapieru");
  registry.Add<TRaportyMiesieczne>("TRaportyMiesieczne");
  registry.Add<TPrzegladySerwisowe>("TPrzegladySerwisowe");
  registry.Add<TSposobBledow>("TSposobBledow");
  registry.Add<TSposobDruowania>("TSposobDruowania");
  registry.Add<TMetodaRabatu>("TMetodaRabatu");
  registry.Add<TCzujnikObudowy>("TCzujnikObudowy");
  registry.Add<TSzybkoscWydruku>("TSzybkoscWydruku");
  registry.Add<TMinimalnyCzasSterZwijacz>("TMinimalnyCzasSterZwijacz");
  registry.Add<TKonfiguracjaCzasuOdp>("TKonfiguracjaCzasuOdp");
  registry.Add<TSposobObslugiKaucjiWLinijceParagonu>("TSposobObslugiKaucjiWLinijceParagonu");
  registry.Add<TAutomatyczneOtwieranieSzuflady>("TAutomatyczneOtwieranieSzuflady");
  registry.Add<TDefinicjaNrSystemowego>("TDefinicjaNrSystemowego");
  registry.Add<TWpisanieTypuIWersji>("TWpisanieTypuIWersji");
  registry.Add<TParagonZa1>("TParagonZa1");
  registry.Add<TWydrukRaportuDobowego>("TWydrukRaportuDobowego");
  registry.Add<TProgramowanieNaglowka>("TProgramowanieNaglowka");
  registry.Add<TProgramowanieStawek>("TProgramowanieStawek");
  registry.Add<TProgramowanieStawekPTUBus>("TProgramowanieStawekPTUBus");
  registry.Add<TProgramowanieNIP>("TProgramowanieNIP");
}

}  // namespace ulvo
