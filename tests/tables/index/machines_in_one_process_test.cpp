// Tables work on the machine they are given: a simulated machine and the host at the same time,
// in one process, with no current machine installed at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "platform/native/native_machine.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/engine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace tables {
namespace {

// A Windows 98 machine in its own folder, its machine.ini settings changed by the replacements.
std::unique_ptr<platform::sim::SimMachine> MakeSimMachine(
    const std::filesystem::path& folder,
    const std::vector<std::pair<std::string, std::string>>& settings) {
  platform::sim::MakeMachine(folder, "win98");
  const std::filesystem::path ini = folder / "machine.ini";
  std::stringstream text;
  text << std::ifstream(ini).rdbuf();
  std::string changed = text.str();
  for (const auto& [name, value] : settings) {
    changed =
        std::regex_replace(changed, std::regex("\n" + name + "=[^\n]*"), "\n" + name + "=" + value);
  }
  std::ofstream(ini) << changed;
  return platform::sim::SimMachine::Open(folder);
}

const std::vector<XbFieldDef> kFields = {
    {"SITE", 'C', 20, 0}, {"SEEN", 'D', 8, 0}, {"NOTE", 'M', 10, 0}};

void AddRecord(platform::Machine& machine, const std::string& table, std::string_view site) {
  XBO_dBaseFld file(machine, table, true, true, "");
  file.BlankRecord();
  file.SetFieldText("SITE", site);
  file.SetFieldText("SEEN", "20011231");
  file.SetMemoText("NOTE", std::string(site) + " note");
  file.AppendRecord();
}

std::string Evaluate(XBO_dBaseFld& table, std::string_view expression) {
  TxbExpHandler handler(&XbTableLink(table), false, expression);
  TxbExpValue value = handler.Evaluate();
  return value.MakeText();
}

class MachinesInOneProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(platform::HasCurrentMachine()); }

  platform::testing::TempFolder temp;
  std::unique_ptr<platform::sim::SimMachine> german = MakeSimMachine(
      temp.path() / "german", {{"ShortDateFormat", "dd.MM.yyyy"}, {"DecimalSeparator", ","}});
  std::unique_ptr<platform::sim::SimMachine> american = MakeSimMachine(temp.path() / "us", {});
  platform::NativeMachine host;
  TxbExpEngineScope expressions;
};

TEST_F(MachinesInOneProcessTest, TablesOfASimulatedMachineAndTheHostAreOpenTogether) {
  const std::string simTable = "C:\\SITES.DBF";
  const std::string hostTable = (temp.path() / "host" / "sites.dbf").string();
  std::filesystem::create_directories(temp.path() / "host");
  CreateTable(*german, simTable, 0xF5, kFields);
  CreateTable(host, hostTable, 0xF5, kFields);
  AddRecord(*german, simTable, "sim.example");
  AddRecord(host, hostTable, "host.example");

  XBO_dBaseFld onSim(*german, simTable, true, false, "");
  XBO_dBaseFld onHost(host, hostTable, true, false, "");
  onSim.ReadRecord(1);
  onHost.ReadRecord(1);
  EXPECT_EQ(onSim.GetFieldDisplay("SITE"), "sim.example");
  EXPECT_EQ(onSim.GetMemoText("NOTE"), "sim.example note");
  EXPECT_EQ(onHost.GetFieldDisplay("SITE"), "host.example");
  EXPECT_EQ(onHost.GetMemoText("NOTE"), "host.example note");
  EXPECT_TRUE(std::filesystem::exists(german->folder() / "drives" / "C" / "SITES.DBF"));
  // The host's names are found without regard to case; the engine creates them upper-cased.
  EXPECT_TRUE(std::filesystem::exists(temp.path() / "host" / "SITES.FPT"));
  EXPECT_FALSE(platform::HasCurrentMachine());
}

TEST_F(MachinesInOneProcessTest, TheSameNameOnTwoMachinesIsTwoFiles) {
  const std::string table = "C:\\SITES.DBF";
  CreateTable(*german, table, 0xF5, kFields);
  CreateTable(*american, table, 0xF5, kFields);
  // Exclusive opens of one file in one process exclude each other; these are two files.
  XBO_dBaseFld first(*german, table, false, true, "");
  XBO_dBaseFld second(*american, table, false, true, "");
  first.BlankRecord();
  first.SetFieldText("SITE", "only on the first");
  first.AppendRecord();
  EXPECT_EQ(first.recordCount(), 1);
  EXPECT_EQ(second.recordCount(), 0);
}

TEST_F(MachinesInOneProcessTest, ExpressionsFollowTheirTablesMachine) {
  const std::string table = "C:\\SITES.DBF";
  CreateTable(*german, table, 0xF5, kFields);
  CreateTable(*american, table, 0xF5, kFields);
  AddRecord(*german, table, "a");
  AddRecord(*american, table, "a");
  XBO_dBaseFld onGerman(*german, table, true, false, "");
  XBO_dBaseFld onAmerican(*american, table, true, false, "");
  onGerman.ReadRecord(1);
  onAmerican.ReadRecord(1);
  EXPECT_EQ(Evaluate(onGerman, "DTOC(SEEN)"), "31.12.2001");
  EXPECT_EQ(Evaluate(onAmerican, "DTOC(SEEN)"), "12/31/2001");
  EXPECT_EQ(Evaluate(onGerman, "VAL(\"1,5\") * 2"), "3");
  EXPECT_EQ(Evaluate(onAmerican, "VAL(\"1.5\") * 2"), "3");
  EXPECT_EQ(onGerman.GetFieldDisplay("SEEN"), "31.12.2001");
  EXPECT_EQ(onAmerican.GetFieldDisplay("SEEN"), "12/31/2001");
}

TEST_F(MachinesInOneProcessTest, AnExpressionWithoutTableUsesTheMachineItIsGiven) {
  TxbExpHandler onGerman(*german, nullptr, false, "CTOD(\"02.01.2001\") - CTOD(\"01.01.2001\")");
  TxbExpHandler onAmerican(*american, nullptr, false, "DTOC(CTOD(\"1/2/2001\"))");
  TxbExpValue days = onGerman.Evaluate();
  TxbExpValue text = onAmerican.Evaluate();
  EXPECT_EQ(days.MakeText(), "1");
  EXPECT_EQ(text.MakeText(), "1/2/2001");
}

}  // namespace
}  // namespace tables
