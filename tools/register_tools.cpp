#include "tools/register_tools.h"

namespace ulvo {

void RegisterToolDialogs(DialogRegistry& registry) {
  RegisterReceiptDialogs(registry);
  RegisterTableDialogs(registry);
  RegisterTestToolDialogs(registry);
}

}  // namespace ulvo
