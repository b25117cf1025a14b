#include "readout/register_fiscal_readout.h"

#include "ui/dialog_registry.h"

namespace ulvo {

void RegisterFiscalReadoutDialogs(DialogRegistry& registry) {
  (void)registry;
}

}  // namespace ulvo
