#include "tools/binary_transfer_dialog.h"
#include "tools/printer_search_dialog.h"
#include "tools/register_tools.h"
#include "tools/test_transactions_dialogs.h"
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

void RegisterTestToolDialogs(DialogRegistry& registry) {
  Add<TTransakcjeTestowe>(registry, "TTransakcjeTestowe");
  Add<TSzukamdrukarki>(registry, "TSzukamdrukarki");
  Add<TWyslijOdbierzPlikBin>(registry, "TWyslijOdbierzPlikBin");
}

}  // namespace ulvo
