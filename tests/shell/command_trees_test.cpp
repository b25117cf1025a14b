#include "shell/core/command_trees.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ulvo {
namespace {

Settings Family(std::uint8_t type, bool bus = false, bool ecopy = false) {
  Settings s;
  s.PrinterType = type;
  s.BusMode = bus;
  s.ElectronicCopy = ecopy;
  return s;
}

std::vector<std::string> Labels(const std::vector<TreeNode>& nodes) {
  std::vector<std::string> out;
  for (const auto& n : nodes) out.push_back(n.label);
  return out;
}

const TreeNode* Find(const std::vector<TreeNode>& nodes, const std::string& label) {
  for (const auto& n : nodes) {
    if (n.label == label) return &n;
    if (const TreeNode* child = Find(n.children, label)) return child;
  }
  return nullptr;
}

TEST(CommandTrees, AltaConfigurationHoldsOnlyErrorHandling) {
  const auto nodes = CommandTree(Page::Konfiguracja, Family(0));
  ASSERT_EQ(nodes.size(), 1u);
  EXPECT_EQ(nodes[0].label, "Sposób obsługi błędów");
  EXPECT_EQ(nodes[0].dialog, "TSposobBledow");
}

TEST(CommandTrees, AltaDiagnosticsHoldsFiveNodes) {
  EXPECT_EQ(Labels(CommandTree(Page::Diagnostyczne, Family(0))),
            (std::vector<std::string>{"Odeślij kod ostatniego błędu", "Odeślij informacje kasowe",
                                      "Odczyt zegara", "Status", "Typ i wersja"}));
  EXPECT_EQ(CommandTree(Page::Diagnostyczne, Family(1)).size(), 5u);
}

TEST(CommandTrees, BasicPageFollowsTheFamily) {
  EXPECT_EQ(Labels(CommandTree(Page::Podstawowe, Family(0))),
            (std::vector<std::string>{"Paragon za 1 grosik", "Wydruk raportu dobowego",
                                      "Korekta zegara", "Raport okresowy"}));
  EXPECT_EQ(CommandTree(Page::Podstawowe, Family(1)).size(), 5u);
  const auto mavito = CommandTree(Page::Podstawowe, Family(2));
  ASSERT_EQ(mavito.size(), 6u);
  EXPECT_EQ(mavito.front().label, "Logowanie kasjera");
  EXPECT_EQ(mavito.back().dialog, "TOdczytajRaportOkresowy");
}

TEST(CommandTrees, TransactionPageFollowsTheFamily) {
  EXPECT_EQ(CommandTree(Page::Transakcja, Family(0)).size(), 6u);
  const auto mavito = CommandTree(Page::Transakcja, Family(2));
  EXPECT_EQ(mavito.size(), 10u);
  EXPECT_EQ(mavito[6].dialog, "TPowitowanieSprzedarzy");
  EXPECT_EQ(mavito[9].dialog, "TPelnaTranskacja");
}

TEST(CommandTrees, MavitoBusEndsConfigurationWithCoverSensorAndUsesBusRates) {
  const Settings bus = Family(2, true);
  const auto config = CommandTree(Page::Konfiguracja, bus);
  ASSERT_FALSE(config.empty());
  EXPECT_EQ(config.back().label, "Czujnik pokrywy");
  EXPECT_EQ(Find(config, "Protokół transmisji"), nullptr);
  EXPECT_EQ(Find(CommandTree(Page::Programowanie, bus), "Programowanie stawek PTU")->dialog,
            "TProgramowanieStawekPTUBus");
  EXPECT_EQ(Find(CommandTree(Page::Programowanie, Family(2)), "Programowanie stawek PTU")->dialog,
            "TProgramowanieStawek");
  const auto pages = VisiblePages(bus);
  EXPECT_EQ(pages.back(), Page::Bus);
  EXPECT_EQ(CommandTree(Page::Bus, bus).front().dialog, "TKontrolaBazyTowarowejDlaBus");
}

TEST(CommandTrees, BusPageOnlyWhileBusModeIsOn) {
  const auto pages = VisiblePages(Family(2));
  EXPECT_EQ(pages.size(), 6u);
  EXPECT_EQ(std::count(pages.begin(), pages.end(), Page::Bus), 0);
  EXPECT_EQ(pages[4], Page::Dodatkowe);
  EXPECT_EQ(pages[5], Page::Programowanie);
}

TEST(CommandTrees, ElectronicCopyAddsPrintSpeedAfterGroupAndControlNumberChecks) {
  const Settings ke = Family(2, false, true);
  const auto config = CommandTree(Page::Konfiguracja, ke);
  ASSERT_GE(config.size(), 2u);
  EXPECT_EQ(config[config.size() - 2].label, "Protokół transmisji");
  EXPECT_TRUE(config[config.size() - 2].IsGroup());
  EXPECT_EQ(config[config.size() - 2].children.size(), 5u);
  EXPECT_EQ(config.back().label, "Szybkość wydruku");
  const auto diag = CommandTree(Page::Diagnostyczne, ke);
  ASSERT_EQ(diag.size(), 10u);
  EXPECT_EQ(diag[8].dialog, "TNrKontrolnyPar");
  EXPECT_EQ(diag[9].dialog, "TNrKontrolnyRapDobowego");
  // Without the electronic copy the plain Mavito has neither.
  EXPECT_EQ(Find(CommandTree(Page::Konfiguracja, Family(2)), "Szybkość wydruku"), nullptr);
  EXPECT_EQ(CommandTree(Page::Diagnostyczne, Family(2)).size(), 8u);
}

TEST(CommandTrees, AdditionalPageIsTheSameForEveryFamily) {
  const auto alta = CommandTree(Page::Dodatkowe, Family(0));
  EXPECT_EQ(Labels(alta), Labels(CommandTree(Page::Dodatkowe, Family(2, true))));
  ASSERT_EQ(alta.size(), 9u);
  for (const char* group : {"Kasa", "Zamówienia", "Raport kontroli bazy towarowej"}) {
    const TreeNode* node = Find(alta, group);
    ASSERT_NE(node, nullptr) << group;
    EXPECT_TRUE(node->IsGroup());
    EXPECT_FALSE(node->children.empty());
  }
  EXPECT_EQ(Find(alta, "Pełna kontrola bazy")->dialog, "TPelnaKontrolaBazy");
}

TEST(CommandTrees, ProgrammingPageFollowsTheFamily) {
  EXPECT_EQ(CommandTree(Page::Programowanie, Family(0)).size(), 3u);
  EXPECT_EQ(CommandTree(Page::Programowanie, Family(2)).size(), 6u);
}

TEST(CommandTrees, EveryNodeThatIsNotAGroupNamesItsDialog) {
  for (std::uint8_t type = 0; type < 3; ++type)
    for (int bus = 0; bus < 2; ++bus)
      for (int ecopy = 0; ecopy < 2; ++ecopy) {
        const Settings s = Family(type, bus, ecopy);
        for (Page page : VisiblePages(s))
          for (const auto& node : CommandTree(page, s)) {
            EXPECT_FALSE(node.label.empty());
            if (node.IsGroup()) {
              for (const auto& child : node.children) EXPECT_EQ(child.dialog.rfind("T", 0), 0u);
            } else {
              EXPECT_EQ(node.dialog.rfind("T", 0), 0u) << node.label;
            }
          }
      }
}

TEST(CommandTrees, DiagnosticNodesNeedAPortExceptMavitoErrorTable) {
  EXPECT_TRUE(NodeNeedsPort(Page::Diagnostyczne, "TStatusDrukarki", 2));
  EXPECT_FALSE(NodeNeedsPort(Page::Diagnostyczne, "TDrukujTabliceBledow", 2));
  EXPECT_TRUE(NodeNeedsPort(Page::Diagnostyczne, "TDrukujTabliceBledow", 0));
  EXPECT_FALSE(NodeNeedsPort(Page::Podstawowe, "TParagonZa1", 2));
}

TEST(CommandTrees, RebuildLeavesAdditionalAndBusPagesAlone) {
  EXPECT_FALSE(IsRebuiltPage(Page::Dodatkowe));
  EXPECT_FALSE(IsRebuiltPage(Page::Bus));
  EXPECT_TRUE(IsRebuiltPage(Page::Programowanie));
  EXPECT_STREQ(PageCaption(Page::Diagnostyczne), "Diagnostyczne");
}

}  // namespace
}  // namespace ulvo
