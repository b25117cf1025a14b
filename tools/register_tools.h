#pragma once
// Makes every dialog of this folder known to the main window.

namespace ulvo {
class DialogRegistry;
void RegisterToolDialogs(DialogRegistry& registry);

// The groups, one file each.
void RegisterReceiptDialogs(DialogRegistry& registry);   // receipts by hand, currencies
void RegisterTableDialogs(DialogRegistry& registry);     // line tables, orders, database
void RegisterTestToolDialogs(DialogRegistry& registry);  // test receipts, search, binary
}  // namespace ulvo
