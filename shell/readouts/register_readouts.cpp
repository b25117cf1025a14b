#include "shell/readouts/register_readouts.h"

#include "shell/base/dialog_registry.h"

namespace ulvo {

void RegisterReadoutDialogs(DialogRegistry& registry) {
  (void)registry;
}

}  // namespace ulvo
