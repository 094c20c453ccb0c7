// kxrd4-cli record end to end against the emulated KX-RD4 on its steady
// clock: an exact axis keeps to the prediction within a sample period, an
// imperfect one is found late and off its path (exit 1), the CSV reads back.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "CliRig.h"
#include "EmulatorPeer.h"
#include "EmulatorTestKit.h"
#include "PdfText.h"
#include "ProgramListing.h"
#include "RecordingCsv.h"

namespace {

using namespace emulator_kit;
using C = CommandCode;

// A number after "key": in the JSON output.
double JsonField(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) {
        ADD_FAILURE() << key << " missing in " << json;
        return -1;
    }
    return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

class CliRecord : public ::testing::Test {
protected:
    void SetUp() override {
        // Out to 1000 and back in about 2.1 s (each move 1 s, triangular).
        ProgramSet set;
        Store(set, 1,
              {Line(C::V_MAX, 2000), Line(C::A_MAX, 4000), Line(C::M_EN), Line(C::X_DST, 1000),
               Line(C::W_TIM, 100), Line(C::X_DST, 0), Line(C::END)});
        rig.WriteFile("p.txt", ProgramListing::Write(set, {1}, false));
    }

    CliResult Record(std::vector<std::string> args) {
        for (std::string& arg : args) {
            if (arg == "p.txt" || arg == "out.csv") {
                arg = rig.Path(arg);
            }
        }
        args.insert(args.begin(), "record");
        return rig.Tool(args);
    }

    CliRig rig;
    EmulatorPeer peer{*rig.backend};
};

TEST_F(CliRecord, ExactAxisKeepsToThePredictionWithinASamplePeriod) {
    const CliResult r = Record({"p.txt", "-p", "1", "--run", "--csv", "out.csv", "--tolerance", "1",
                                "--format", "json", "--until", "20"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("P1 sent and verified"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("\"end\":\"program ended\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"within\":true"), std::string::npos) << r.out;
    const double gap = JsonField(r.out, "longest_gap_s");
    EXPECT_GT(JsonField(r.out, "rate"), 100) << "samples per second, even under a sanitizer";
    EXPECT_NEAR(JsonField(r.out, "predicted_cycle_s"), 2.1, 0.002);
    EXPECT_NEAR(JsonField(r.out, "measured_cycle_s"), JsonField(r.out, "predicted_cycle_s"),
                gap + 0.003);
    EXPECT_EQ(JsonField(r.out, "max_deviation"), 0);
    // The triangular profile peaks for 1 ms only.
    // (out or back: the peaks are alike)
    EXPECT_NEAR(std::abs(JsonField(r.out, "measured_peak_velocity")), 2000, 4000 * gap + 10);
    EXPECT_EQ(std::abs(JsonField(r.out, "predicted_peak_velocity")), 2000);
    EXPECT_EQ(r.out.find("\"on_time\":false"), std::string::npos) << r.out;

    // The CSV read back: one row a sample, time in s from the run's start.
    std::vector<RecordingCsv::Row> rows;
    ASSERT_TRUE(RecordingCsv::Read(rig.ReadFile("out.csv"), rows));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(JsonField(r.out, "samples")));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_GT(rows[i].timeS, rows[i - 1].timeS) << i;
    }
    EXPECT_LT(rows.front().timeS, 0.01);
    EXPECT_GT(rows.back().timeS, 2.1);
    std::int32_t top = 0;
    for (const auto& row : rows) {
        ASSERT_TRUE(row.predictedPosition && row.predictedVelocity);
        top = std::max(top, row.position);
        // At 2000 steps/s a few ms of stamping make a few steps.
        EXPECT_NEAR(row.position, *row.predictedPosition, 2000 * (gap + 0.003) + 1) << row.timeS;
    }
    EXPECT_EQ(top, 1000);
    EXPECT_EQ(rows.back().position, 0);
    EXPECT_EQ(rows.back().predictedPosition, 0);
}

TEST_F(CliRecord, ImperfectAxisIsFoundLateAndOffItsPath) {
    struct Case {
        EmulatedAxis::Imperfection axis;
        std::vector<std::string> findings; // in stderr
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {{150, 0},
         {"(late by 0.", "the move of P1 line 03 arrived at 1.1", "position deviation"},
         {}},
        {{0, 30}, {"position deviation 30 steps", "(P1 line 0"}, {"late by", "arrived at"}},
    };
    for (const Case& c : cases) {
        peer.With([&](ControllerEmulator& e) { e.SetImperfection(c.axis); });
        const CliResult r = Record({"p.txt", "-p", "1", "--run", "--until", "20"});
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(r.out.find("NOT within the prediction"), std::string::npos) << r.out;
        for (const std::string& f : c.findings) {
            EXPECT_NE(r.err.find(f), std::string::npos) << f << "\n" << r.err;
        }
        for (const std::string& f : c.absent) {
            EXPECT_EQ(r.err.find(f), std::string::npos) << f << "\n" << r.err;
        }
    }
}

// The PDF's text (poppler's pdftotext) holds the cycle times and the serial;
// the CSV and the PNG lie beside it.
TEST_F(CliRecord, ReportHoldsTheCycleTimesAndTheSerial) {
    const CliResult r = Record({"p.txt", "-p", "1", "--run", "--until", "20", "--report",
                                rig.Path("run.pdf"), "--format", "json"});
    if (r.err.find("built without Qt") != std::string::npos) {
        GTEST_SKIP() << "no PDF reports in a build without Qt";
    }
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("report written to"), std::string::npos) << r.err;
    EXPECT_TRUE(rig.Exists("run.csv"));
    EXPECT_EQ(rig.ReadFile("run.png").substr(1, 3), "PNG");
    const std::string text = PdfText(rig.Path("run.pdf"));
    ASSERT_FALSE(text.empty()) << "pdftotext (poppler-utils, scripts/setup.sh) read nothing";
    // The measured cycle as the JSON gives it, in the report's Polish form
    // with three decimals (a figure such as 2.0995 may round either way).
    const std::string measuredLabel = "Czas cyklu: zmierzony ";
    const std::size_t at = text.find(measuredLabel);
    ASSERT_NE(at, std::string::npos) << text;
    std::string figure = text.substr(at + measuredLabel.size(), 5); // "2,100"
    std::replace(figure.begin(), figure.end(), ',', '.');
    EXPECT_NEAR(std::strtod(figure.c_str(), nullptr), JsonField(r.out, "measured_cycle_s"), 0.0015)
        << text;
    for (const std::string& expected :
         {std::string("numer seryjny DEMO-1"), std::string(" s, przewidziany 2,100 s"),
          std::string("Program P1"), std::string("zgodny z symulacją")}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

TEST_F(CliRecord, ProgramStartedElsewhereIsAlignedAtItsFirstMotion) {
    // Sent by record itself; started a while after its recording began.
    std::thread starter([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        peer.With([](ControllerEmulator& e) {
            const Bytes start = Request(MessageLetter::ProgramStart, {1});
            e.HandleRequest(start.data(), start.size(), e.Now());
        });
    });
    const CliResult r = Record({"p.txt", "-p", "1", "--until", "20", "--tolerance", "3"});
    starter.join();
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("aligned at the first motion"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ended: program ended"), std::string::npos) << r.out;
}

TEST_F(CliRecord, RefusesWhatItCannotRecord) {
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Row rows[] = {
        {{"p.txt"}, 2, "record needs -p N"},
        {{"p.txt", "-p", "1", "--tolerance", "-1"}, 2, "--tolerance: \"-1\" is not a number"},
        {{"p.txt", "-p", "1", "--report", ""}, 2, "--report: the file name is empty"},
        {{"p.txt", "-p", "1", "--report", "r.pdf", "--lang", "de"},
         2,
         "--lang: \"de\" is neither pl nor en"},
        {{"p.txt", "-p", "1", "--lang", "en"}, 2, "--lang is the language of the report: it needs"},
        {{"p.txt", "-p", "1", "--inputs", "1 in0 on"}, 2, "record does not take --inputs"},
        {{"missing.txt", "-p", "1"}, 1, "missing.txt"},
    };
    for (const Row& row : rows) {
        const CliResult r = Record(row.args);
        EXPECT_EQ(r.status, row.status) << row.err << "\n" << r.err;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
}

} // namespace
