#include "tools/register_tools.h"
#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterTestToolDialogs(DialogRegistry& registry) {
  (void)registry;
}

}  // namespace ulvo
