#pragma once
// Makes the dialogs of the fiscal memory readout known to the main window.

namespace ulvo {
class DialogRegistry;
void RegisterFiscalReadoutDialogs(DialogRegistry& registry);
}  // namespace ulvo
