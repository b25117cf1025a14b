#include "tools/binary_transfer_dialog.h"
#include "tools/printer_search_dialog.h"
#include "tools/register_tools.h"
#include "tools/test_transactions_dialogs.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterTestToolDialogs(DialogRegistry& registry) {
  registry.Add<TTransakcjeTestowe>("TTransakcjeTestowe");
  registry.Add<TSzukamdrukarki>("TSzukamdrukarki");
  registry.Add<TWyslijOdbierzPlikBin>("TWyslijOdbierzPlikBin");
}

}  // namespace ulvo
