#include "commands/register_commands.h"

#include "shell/base/dialog_registry.h"

namespace ulvo {

void RegisterCommandDialogs(DialogRegistry& registry) {
  (void)registry;
}

}  // namespace ulvo
