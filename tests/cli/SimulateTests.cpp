// kxrd4-cli simulate: the dry run of a program file or listing, its exit
// status, its report, the CSV of the motion and the checks of its options.

#include <gtest/gtest.h>

#include "CliRig.h"
#include "EmulatorTestKit.h"
#include "ProgramListing.h"

namespace {

using namespace emulator_kit;
using C = CommandCode;

struct Row {
    std::vector<std::string> args; // after "simulate"; FILE is the first
    int status;
    std::string out; // expected in stdout
    std::string err; // expected in stderr
};

class CliSimulate : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramSet set;
        Store(set, 2, OutAndBackThreeTimes());
        Store(set, 3, {Line(C::M_EN), Operands(C::W_INP, {1, 1}), Line(C::END)});
        Store(set, 4, {Line(C::M_EN), Line(C::W_DEF), Line(C::M_DIS), Line(C::X_DST, 5)});
        rig.WriteFile("p.kxp",
                      std::string(reinterpret_cast<const char*>(set.Data()), ProgramSetBytes));
        rig.WriteFile("p.txt", ProgramListing::Write(set, {3, 4}, false));
        rig.WriteFile("wdef.kxb", "[parameters]\nwdef = 1200\n");
    }

    CliResult Simulate(std::vector<std::string> args) {
        for (std::string& arg : args) {
            if (arg == "p.kxp" || arg == "p.txt" || arg == "wdef.kxb" || arg == "out.csv") {
                arg = rig.Path(arg);
            }
        }
        args.insert(args.begin(), "simulate");
        return rig.Tool(args);
    }

    CliRig rig;
};

TEST_F(CliSimulate, ReportsCycleTimeFaultsAndWaitsWithTheirExitStatus) {
    const std::vector<Row> rows = {
        {{"p.kxp", "-p", "2", "--until", "100"}, 0, "ends after 72.600 s (cycle time)\n", ""},
        {{"p.txt", "-p", "3", "--until", "5"},
         1,
         "does not end within 5.000 s; waits at line 01 for input 1 on\n",
         "P3 does not end within 5.000 s"},
        {{"p.txt", "-p", "3", "--inputs", " 1.0 in0 on;2.25 in1 on ; "},
         0,
         "ends after 2.250 s (cycle time)",
         ""},
        {{"p.txt", "-p", "3", "--inputs", "2.25 in1 on; 1 in1 off", "--trace"},
         0,
         "       0.000  P3 [01]  W_INP      1  on\n       2.250  P3 [02]  END\n",
         ""},
        {{"p.txt", "-p", "4"},
         1,
         "fault after 0.500 s at line 03 of P4: a move with ENABLE off\n",
         "P4 ends with a fault at line 03 of P4 after 0.500 s"},
        {{"p.txt", "-p", "4", "--params", "wdef.kxb"}, 1, "fault after 1.200 s at line 03", ""},
        {{"p.txt", "-p", "3", "--until", "2", "--format", "json"},
         1,
         "{\"program\":3,\"limitMs\":2000,\"ended\":false,\"faults\":[],\"waiting\":{\"for\":"
         "\"input\",\"program\":3,\"line\":1,\"input\":1,\"state\":\"on\"}}\n",
         ""},
        {{"p.kxp", "-p", "0"}, 1, "at line 24 of P0: ran past the last line", ""},
        // The program check's findings go to stderr first; inputs of the
        // schedule count as inputs that change.
        {{"p.txt", "-p", "4"}, 1, "", "P4 [03] error: a move while the motor is disabled"},
        {{"p.txt", "-p", "3", "--until", "1"}, 1, "", "P3 [01] warning: waits for input 1"},
        // Usage and files.
        {{"p.kxp"}, 2, "", "simulate needs -p N"},
        {{"p.kxp", "-p", "2", "--inputs", "2.0 in2 on"}, 2, "", "\"2.0 in2 on\" is not a change"},
        {{"p.kxp", "-p", "2", "--inputs", "-1 in0 on"}, 2, "", "\"-1 in0 on\" is not a change"},
        {{"p.kxp", "-p", "2", "--inputs", "1 in0 on off"}, 2, "", "is not a change"},
        {{"p.kxp", "-p", "2", "--inputs", "1s in0 on"}, 2, "", "is not a change"},
        {{"p.kxp", "-p", "2", "--until", "0"}, 2, "", "--until: \"0\""},
        {{"p.kxp", "-p", "2", "--until", "90000"}, 2, "", "at most a day"},
        {{"p.kxp", "-p", "2", "--verify"}, 2, "", "simulate does not take --verify"},
        {{"missing.kxp", "-p", "2"}, 1, "", "cannot open missing.kxp"},
        {{"p.kxp", "-p", "2", "--params", "p.txt"}, 1, "", "p.txt:1:"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        const CliResult r = Simulate(row.args);
        EXPECT_EQ(r.status, row.status) << r.out << r.err;
        EXPECT_NE(r.out.find(row.out), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
}

TEST_F(CliSimulate, InputsOfTheScheduleAreNotReportedAsFixed) {
    const CliResult r = Simulate({"p.txt", "-p", "3", "--inputs", "1 in1 on"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("waits for input"), std::string::npos) << r.err;
}

TEST_F(CliSimulate, CsvHoldsPositionAndVelocityEveryMillisecond) {
    const CliResult r = Simulate({"p.kxp", "-p", "2", "--until", "100", "--csv", "out.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream csv(rig.ReadFile("out.csv"));
    std::string row;
    std::getline(csv, row);
    EXPECT_EQ(row, "ms,position,velocity");
    std::vector<std::string> rows;
    while (std::getline(csv, row)) {
        rows.push_back(row);
    }
    ASSERT_GT(rows.size(), 72600u);
    EXPECT_EQ(rows[0], "0,0,0");
    EXPECT_EQ(rows[1000], "1000,250,500");
    EXPECT_EQ(rows[6000], "6000,5000,1000");
    EXPECT_EQ(rows.back().substr(rows.back().find(',')), ",0,0");
    for (std::size_t i = 0; i < rows.size(); i += 997) {
        EXPECT_EQ(rows[i].rfind(std::to_string(i) + ",", 0), 0u) << rows[i];
    }

    // A run that cannot write its CSV fails and says so.
    const CliResult bad = Simulate({"p.kxp", "-p", "2", "--csv", rig.Path("no/such/dir/x.csv")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("cannot write"), std::string::npos) << bad.err;
}

} // namespace
