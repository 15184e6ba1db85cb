#include "binding/engine_facts.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

// The engine facts as the build turns them into tables: every row of the data file lands in its
// version's table with the value and convention its text gives, and facts that miss an
// operation of the engine contract or give a value that cannot be read are refused.
namespace pilfern::binding {
namespace {

// The rows of a facts file, split at tabs, without the header.
std::vector<std::vector<std::string>> Rows(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab = line.find('\t'); tab != std::string::npos;
             tab = line.find('\t', start)) {
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        fields.push_back(line.substr(start));  // the last field, empty or not
        rows.push_back(fields);
    }
    return rows;
}

TEST(EngineFacts, SampleRowsReadAsTheirKindAndConvention) {
    const struct {
        int version;
        const char* operation;
        FactKind kind;
        std::uint32_t value;
        CallConvention convention;
    } cases[] = {
        {1, "eng_active_camera", FactKind::Global, 0x00873240, CallConvention::None},
        {4, "eng_npc_interaction_a", FactKind::Field, 0x964, CallConvention::None},
        {1, "eng_container_remove_item", FactKind::VirtualSlot, 78, CallConvention::Virtual},
        {2, "eng_container_remove_item", FactKind::VirtualSlot, 82, CallConvention::Virtual},
        {1, "eng_mob_name", FactKind::VirtualSlot, 40, CallConvention::VirtualHiddenReturn},
        {1, "eng_npc_name", FactKind::Function, 0x0068D0B0, CallConvention::ThisCallHiddenReturn},
        // The convention is named only in the member's declaration.
        {1, "eng_npc_refresh_focus", FactKind::Function, 0x00690D70, CallConvention::ThisCall},
        {3, "eng_npc_refresh_focus", FactKind::Function, 0x006D53F0, CallConvention::ThisCall},
        // A slot given only by its place in the table: 0x134 / 4.
        {1, "xcheck:zCRenderer::SetViewport vslot", FactKind::VirtualSlot, 77,
         CallConvention::Virtual},
        {4, "eng_color_make", FactKind::Structure, 4, CallConvention::None},
        {1, "eng_npc_ex_marker_1", FactKind::Unknown, 0, CallConvention::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " under " + std::to_string(c.version));
        const EngineFact* fact = FindEngineFact(c.version, c.operation);
        ASSERT_NE(fact, nullptr);
        EXPECT_EQ(fact->kind, c.kind);
        EXPECT_EQ(fact->value, c.value);
        EXPECT_EQ(fact->convention, c.convention);
    }
    EXPECT_TRUE(EngineFacts(0).empty());
    EXPECT_TRUE(EngineFacts(5).empty());
}

// A second reader of the file, with none of the build's escaping: the tables hold every row,
// in the file's order, with its value text and, for an address or a size, its number.
TEST(EngineFacts, TheTablesHoldEveryRowOfTheFileAsWritten) {
    const std::map<std::string, int> versions{{"Gothic_I_Classic", 1},
                                              {"Gothic_I_Addon", 2},
                                              {"Gothic_II_Classic", 3},
                                              {"Gothic_II_Addon", 4}};
    std::map<int, std::size_t> next;
    const auto rows = Rows(PILFERN_FACTS_FILE);
    ASSERT_GT(rows.size(), 900U);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 9U);
        const int version = versions.at(row[1]);
        const auto facts = EngineFacts(version);
        const std::size_t at = next[version]++;
        ASSERT_LT(at, facts.size());
        const EngineFact& fact = facts[at];
        SCOPED_TRACE(row[0] + " under " + row[1]);
        EXPECT_EQ(fact.operation, row[0]);
        EXPECT_EQ(fact.valueText, row[4]);
        if (row[2] == "func" || row[2] == "global") {
            EXPECT_EQ(fact.value, std::stoul(row[4], nullptr, 16));
        }
        // A structure's size, in hexadecimal or decimal as the file writes it.
        if (row[2] == "struct" && row[4].starts_with("size ")) {
            EXPECT_EQ(fact.value, std::stoul(row[4].substr(5), nullptr, 0));
        }
    }
    for (const auto& [name, version] : versions) {
        EXPECT_EQ(next[version], EngineFacts(version).size()) << name;
    }
}

#ifndef _WIN32
// The build's own check, run on a small contract and small facts.
TEST(EngineFacts, FactsThatMissAnOperationOrMisstateAValueAreRefused) {
#ifdef __i386__
    GTEST_SKIP() << "the 32-bit Linux suite runs under an emulator: the 64-bit suite runs the "
                    "build's own check";
#endif
    const std::string contract =
        "struct Engine {\n"
        "    virtual int eng_first(int a) = 0;\n"
        "    virtual zSTRING eng_second() = 0;\n"
        "};\n";
    const std::string header =
        "operation\tversion\tkind\tmember\tvalue\tconvention\tsource\tconfidence\tcross_check\n";
    const auto rows = [](const std::string& operation, const std::string& kind,
                         const std::string& value, const std::string& convention) {
        std::string text;
        for (const char* version :
             {"Gothic_I_Classic", "Gothic_I_Addon", "Gothic_II_Classic", "Gothic_II_Addon"}) {
            text += operation + "\t" + version + "\t" + kind + "\tm\t" + value + "\t" + convention +
                    "\ts\thigh\t\n";
        }
        return text;
    };
    const std::string first = rows("eng_first", "func", "0x00401000", "thiscall; returns int");
    const std::string second = rows("eng_second", "field", "+0x1C", "field read; a [b]; c\\d");
    const struct {
        const char* name;
        std::string facts;
        std::string refusal;  // empty: accepted
    } cases[] = {
        {"complete", header + first + second, ""},
        {"an operation missing under one version",
         header + first + second.substr(0, second.rfind("eng_second")),
         "no row for eng_second under Gothic_II_Addon"},
        {"an address that is no number",
         header + rows("eng_first", "func", "near 0x40", "cdecl") + second,
         "line 2: value: expected the function's address"},
        {"a function without a convention",
         header + rows("eng_first", "func", "0x00401000", "returns int") + second,
         "line 2: convention: no calling convention named"},
        {"a kind the binding does not know", header + first + rows("eng_second", "slot", "1", ""),
         "line 6: kind: \"slot\" is none of"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TempFolder folder;
        folder.Write("engine.h", contract);
        folder.Write("facts.tsv", c.facts);
        const std::string out = (folder.Path() / "table.h").string();
        const std::string log = (folder.Path() / "log.txt").string();
        const std::string command = std::string("\"") + PILFERN_CMAKE +
                                    "\" -DFACTS=" + (folder.Path() / "facts.tsv").string() +
                                    " -DCONTRACT=" + (folder.Path() / "engine.h").string() +
                                    " -DOUT=" + out + " -P " + PILFERN_FACTS_SCRIPT + " >" + log +
                                    " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream logFile(log);
        const std::string said{std::istreambuf_iterator<char>(logFile), {}};
        if (c.refusal.empty()) {
            EXPECT_EQ(status, 0) << said;
            std::ifstream table(out);
            const std::string text{std::istreambuf_iterator<char>(table), {}};
            EXPECT_NE(
                text.find(
                    R"({"eng_second", FactKind::Field, 0x1C, CallConvention::None, "+0x1C"})"),
                std::string::npos)
                << text;
        } else {
            EXPECT_NE(status, 0);
            // CMake wraps long messages: compare without line breaks and indents.
            std::string flat;
            std::istringstream lines(said);
            for (std::string line; std::getline(lines, line);) {
                const auto start = line.find_first_not_of(' ');
                if (start != std::string::npos) {
                    flat += (flat.empty() ? "" : " ") + line.substr(start);
                }
            }
            EXPECT_NE(flat.find(c.refusal), std::string::npos) << said;
        }
    }
}
#endif

}  // namespace
}  // namespace pilfern::binding
