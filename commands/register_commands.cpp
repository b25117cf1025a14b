#include "commands/register_commands.h"

#include "commands/catalogue_dialogs.h"
#include "commands/header_dialog.h"
#include "commands/nip_dialog.h"
#include "commands/option_dialogs.h"
#include "commands/ptu_dialogs.h"
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

void RegisterCommandDialogs(DialogRegistry& registry) {
  Add<TKorektaZegara>(registry, "TKorektaZegara");
  Add<TLogowanieKasjera>(registry, "TLogowanieKasjera");
  Add<TWylogowanieKasjera>(registry, "TWylogowanieKasjera");
  Add<TWplataDoKasy>(registry, "TWplataDoKasy");
  Add<TWyplataZKasy>(registry, "TWyplataZKasy");
  Add<TStanKasy>(registry, "TStanKasy");
  Add<TRaportKasyZmiany>(registry, "TRaportKasyZmiany");
  Add<TParametrySzuflady>(registry, "TParametrySzuflady");
  Add<TWysuwPapieru>(registry, "TWysuwPapieru");
  Add<TRaportyMiesieczne>(registry, "TRaportyMiesieczne");
  Add<TPrzegladySerwisowe>(registry, "TPrzegladySerwisowe");
  Add<TSposobBledow>(registry, "TSposobBledow");
  Add<TSposobDruowania>(registry, "TSposobDruowania");
  Add<TMetodaRabatu>(registry, "TMetodaRabatu");
  Add<TCzujnikObudowy>(registry, "TCzujnikObudowy");
  Add<TSzybkoscWydruku>(registry, "TSzybkoscWydruku");
  Add<TMinimalnyCzasSterZwijacz>(registry, "TMinimalnyCzasSterZwijacz");
  Add<TKonfiguracjaCzasuOdp>(registry, "TKonfiguracjaCzasuOdp");
  Add<TSposobObslugiKaucjiWLinijceParagonu>(registry, "TSposobObslugiKaucjiWLinijceParagonu");
  Add<TAutomatyczneOtwieranieSzuflady>(registry, "TAutomatyczneOtwieranieSzuflady");
  Add<TDefinicjaNrSystemowego>(registry, "TDefinicjaNrSystemowego");
  Add<TWpisanieTypuIWersji>(registry, "TWpisanieTypuIWersji");
  Add<TParagonZa1>(registry, "TParagonZa1");
  Add<TWydrukRaportuDobowego>(registry, "TWydrukRaportuDobowego");
  Add<TProgramowanieNaglowka>(registry, "TProgramowanieNaglowka");
  Add<TProgramowanieStawek>(registry, "TProgramowanieStawek");
  Add<TProgramowanieStawekPTUBus>(registry, "TProgramowanieStawekPTUBus");
  Add<TProgramowanieNIP>(registry, "TProgramowanieNIP");
}

}  // namespace ulvo
