#pragma once
// Makes every command dialog of this folder known to the main window.

namespace ulvo {
class DialogRegistry;
void RegisterCommandDialogs(DialogRegistry& registry);
}  // namespace ulvo
