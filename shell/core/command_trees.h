#pragma once
// The pages of the main window and the command tree on each, per printer family and variant.
// Labels are UTF-8; a node's dialog is named by its class name, empty for a group node.

#include <cstdint>
#include <string>
#include <vector>

#include "link/settings.h"

namespace ulvo {

enum class Page : std::uint8_t {
  Podstawowe,
  Konfiguracja,
  Transakcja,
  Diagnostyczne,
  Dodatkowe,
  Programowanie,
  Bus,
};
constexpr int kPageCount = 7;

struct TreeNode {
  std::string label;
  std::string dialog;  // empty: a group node, which opens nothing
  std::vector<TreeNode> children;
  bool IsGroup() const { return dialog.empty(); }
};

// "Podstawowe", "Konfiguracja", ... "Bus".
const char* PageCaption(Page page);

// The nodes of a page's tree for the family and variant of `settings`, in their order.
std::vector<TreeNode> CommandTree(Page page, const Settings& settings);

// The pages in the tab row, in their order ("Bus" only while BusMode is on).
std::vector<Page> VisiblePages(const Settings& settings);

// Pages whose trees RebuildCommandTrees refills ("Dodatkowe" and "Bus" never change).
bool IsRebuiltPage(Page page);

// Pages whose tree reacts to Enter and is refreshed after every key.
bool IsKeyboardPage(Page page);

// True when opening `dialog` from `page` first needs a chosen port: every "Diagnostyczne"
// node, except the error table of the Mavito family, which reports a missing port itself.
bool NodeNeedsPort(Page page, const std::string& dialog, std::uint8_t printerType);

}  // namespace ulvo
