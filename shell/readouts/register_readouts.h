#pragma once
// Makes every printer data readout dialog known to the main window.

namespace ulvo {
class DialogRegistry;
void RegisterReadoutDialogs(DialogRegistry& registry);
}  // namespace ulvo
