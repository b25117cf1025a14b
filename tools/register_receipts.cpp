#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterReceiptDialogs(DialogRegistry& registry) {
  (void)registry;
}

}  // namespace ulvo
