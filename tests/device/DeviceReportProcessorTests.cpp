// Handling of controller replies: logs, every letter's effect and status text,
// the program transfer chains, and robustness against any byte sequence.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DeviceReportProcessor.h"
#include "ReportRecorder.h"
#include "SinkRecorder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<std::string>;

// A reply as the device delivers it: 64 data bytes after the report id.
Bytes Reply(Bytes start) {
    start.resize(64, 0);
    return start;
}

class ReplyTest : public ::testing::Test {
protected:
    void Process(const Bytes& data) { processor.Process(data.data(), data.size()); }

    ReportRecorder output;
    ProgramSet programs;
    ControllerMessages messages{output, programs};
    SinkRecorder sink;
    DeviceReportProcessor processor{programs, messages, sink};
};

// Logs -------------------------------------------------------------------

TEST_F(ReplyTest, HexLogHasEveryDataByteAndTextLogStopsAtTheFirstZero) {
    Process(Reply({0x69, 0x2C, 0x01, 0x00, 0x00}));
    ASSERT_EQ(sink.hexLog.size(), 1u);
    std::string expected = "69 2C 01 ";
    for (int i = 3; i < 64; ++i) {
        expected += "00 ";
    }
    EXPECT_EQ(sink.hexLog[0], expected);
    EXPECT_EQ(sink.textLog, Events{"i,\x01"});

    Process(Reply({0x69, 0x00, 0x01}));
    EXPECT_EQ(sink.textLog.back(), "i");
}

TEST_F(ReplyTest, LogsShowShortUnknownAndEmptyReportsToo) {
    Process({});
    Process({0xAB, 0xCD});
    Process({'A', 'b', 'c'}); // no zero: every byte
    EXPECT_EQ(sink.hexLog, (Events{"", "AB CD ", "41 62 63 "}));
    EXPECT_EQ(sink.textLog[0], "");
    EXPECT_EQ(sink.textLog[2], "Abc");
    processor.Process(nullptr, 0);
    EXPECT_EQ(sink.hexLog.size(), 4u);
}

TEST_F(ReplyTest, TextLogDecodesTheHighHalfAsWindows1250) {
    // Polish letters, then the euro sign, an unassigned byte and 0xFF.
    Process({0x86, 0xA5, 0xB9, 0xC6, 0xE6, 0xCA, 0xEA, 0xA3, 0xB3, 0xD1, 0xF1,
             0xD3, 0xF3, 0x8C, 0x9C, 0x8F, 0x9F, 0xAF, 0xBF, 0x80, 0x81, 0xFF});
    EXPECT_EQ(sink.textLog.back(), "†ĄąĆćĘęŁłŃńÓóŚśŹźŻż€\u0081˙");
}

// Every reply's effect ---------------------------------------------------

struct ReplyCase {
    Bytes data;
    Events events;
};

TEST_F(ReplyTest, EveryLetterHasItsEffectAndStatusText) {
    const std::vector<ReplyCase> cases = {
        {{0x66},
         {"status:Program został zapisany do pamięci wewnetrznej urządzenia", "progress:25"}},
        {{0x67, 3}, {"status:Program z pamięci wewnętrznej został uruchomiony"}},
        {{0x68, 3}, {"status:Program z pamięci wewnętrznej  został zatrzymany"}},
        {{0x69, 0x2C, 0x01},
         {"field:VminLabel=300", "status:Prędkość minimalna została odczytana"}},
        {{0x6A, 0x2F, 0x75},
         {"field:VmaxLabel=29999", "status:Prędkość maksymalna została odczytana"}},
        {{0x6B, 0x00}, {"field:AmaxLabel=0", "status:Przyspieszenie maksymalne zostalo odczytane"}},
        {{0x6C, 0x2C, 0x01, 0, 0, 1},
         {"field:HomeLabel=300", "nonc:1", "status:Prędkość bazowania została odczytana"}},
        {{0x6D, 0xD1, 0x8A, 0xFF, 0xFF},
         {"field:VdstLabel=-29999", "status:Prędkość zadana została odczytana"}},
        {{0x6E, 0x81, 0x69, 0x67, 0xFF},
         {"field:XdstLabel=-9999999", "status:Pozycja zadana została odczytana"}},
        {{0x6F}, {"status:Prędkość minimalna został zapisana"}},
        {{0x70}, {"status:Prędkość maksymalna została zapisana"}},
        {{0x71}, {"status:Przyspieszenie maksymalne zostało zapiane"}},
        {{0x72}, {"status:Bazowanie zostało rozpoczęte"}},
        {{0x73}, {"status:Prędkość zadana została ustawiona"}},
        {{0x74}, {"status:Pozycja zadana została ustawiona"}},
        {{0x75}, {"status:Sygnał ENABLE został ustawiony w stan aktywny"}},
        {{0x76}, {"status:Sygnał ENABLE został ustawiony w stan nieaktywny"}},
        {{0x77}, {"status:Rozpoczeto hamowanie silnika"}},
        {{0x78}, {"status:Silnik został zatrzymany"}},
        {{0x79, 0x18, 0xFC, 0xFF, 0xFF, 0xE8, 0x03, 0x00, 0x00}, {"chart:-1000,1000"}},
        {{0x7A}, {"status:Prędkość silnika została zwiększona"}},
        {{0x7B}, {"status:Prędkość silnika została zmniejszona"}},
        {{0x7C}, {"status:Pozycja silnika została zmniejszona"}},
        {{0x7D}, {"status:Pozycja silnika została zwiększona"}},
        {{0x7E, 247}, {"status!:Adres MODBUS został ustawiony"}},
        {{0x7F}, {"status:Prędkość MODBUS została ustawiona"}},
        {{0x80}, {"status:Filtracja wejść została ustawiona"}},
        {{0x81, 0xFF, 0xFF, 0xFF, 0x7F},
         {"field:XdefLabel=2147483647", "status:Pozycja definiowana została odczytana"}},
        {{0x82, 0x00, 0x00, 0x00, 0x80},
         {"field:VdefLabel=-2147483648", "status:Prędkość definiowana została odczytana"}},
        {{0x83, 0x9F, 0x86, 0x01, 0x00},
         {"field:WdefLabel=99999", "status:Czas definiowany został odczytany"}},
        {{0x84}, {"status:Pozycja definiowana została zapisana"}},
        {{0x85}, {"status:Prędkość definiowana została zapisana"}},
        {{0x86}, {"status:Czas definiowany został zapiany"}},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "letter 0x" << std::hex << int(c.data[0]));
        sink.events.clear();
        Process(Reply(c.data));
        EXPECT_EQ(sink.events, c.events);
    }
    EXPECT_TRUE(output.reports.empty()); // only transfer replies send anything
}

TEST_F(ReplyTest, HomeReadContactTypeSelectsNoNcOrNothing) {
    const std::vector<std::pair<std::uint8_t, std::string>> cases = {
        {0, "nonc:0"}, {1, "nonc:1"}, {2, "nonc:none"}, {255, "nonc:none"}};
    for (const auto& [contact, event] : cases) {
        sink.events.clear();
        Process(Reply({0x6C, 0xF4, 0x01, 0, 0, contact}));
        EXPECT_EQ(sink.events, (Events{"field:HomeLabel=500", event,
                                       "status:Prędkość bazowania została odczytana"}));
    }
}

TEST_F(ReplyTest, RepliesOutsideTheLetterRangeAreOnlyLogged) {
    for (int letter : {0x00, 0x01, 0x63, 0x87, 0xC8, 0xFF}) {
        Process(Reply({static_cast<std::uint8_t>(letter), 3, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
    }
    EXPECT_TRUE(sink.events.empty());
    EXPECT_TRUE(output.reports.empty());
    EXPECT_EQ(sink.hexLog.size(), 6u);
    EXPECT_EQ(sink.textLog.size(), 6u);
}

// A reply shorter than what its letter carries is logged and otherwise ignored;
// one exactly as long is handled. The buffers are exactly as long as the reply,
// so a read beyond them shows under the address sanitizer.
TEST_F(ReplyTest, ShortRepliesAreOnlyLoggedAndNothingBeyondIsRead) {
    const std::vector<std::pair<std::uint8_t, std::size_t>> needed = {
        {0x64, 3}, {0x65, 11}, {0x69, 5}, {0x6A, 5}, {0x6B, 5}, {0x6C, 6},
        {0x6D, 5}, {0x6E, 5},  {0x79, 9}, {0x81, 5}, {0x82, 5}, {0x83, 5}};
    for (const auto& [letter, size] : needed) {
        SCOPED_TRACE(testing::Message() << "letter 0x" << std::hex << int(letter));
        for (std::size_t n = 1; n < size; ++n) {
            Bytes data(n, 0);
            data[0] = letter;
            Process(data);
            EXPECT_TRUE(sink.events.empty()) << "size " << n;
        }
        Bytes exact(size, 0);
        exact[0] = letter;
        Process(exact);
        EXPECT_FALSE(sink.events.empty());
        sink.events.clear();
    }
    // Letters without payload act on the letter alone.
    Process({0x66});
    EXPECT_EQ(sink.events.back(), "progress:25");
}

// Program transfers -------------------------------------------------------

class TransferTest : public ReplyTest {
protected:
    // The controller's echo of a LineWrite or LineRead request.
    void Echo(const ReportRecorder::Report& request, const std::uint8_t* lineBytes = nullptr) {
        Bytes reply(64, 0);
        reply[0] = request[1];
        reply[1] = request[2];
        reply[2] = request[3];
        if (lineBytes) {
            std::copy_n(lineBytes, 8, reply.begin() + 3);
        }
        Process(reply);
    }
};

TEST_F(TransferTest, SendChainSendsLinesOneToTwentyFourAndStopsAfterLastReply) {
    for (int l = 0; l < 25; ++l) {
        programs.LineBytes(3, l)[0] = static_cast<std::uint8_t>(l + 1);
        programs.LineBytes(3, l)[7] = static_cast<std::uint8_t>(0xA0 + l);
    }
    messages.SendProgram(3, sink);
    for (int l = 0; l < 24; ++l) {
        Echo(output.reports.back());
    }
    ASSERT_EQ(output.reports.size(), 25u);
    for (int l = 0; l < 25; ++l) {
        const auto& r = output.reports[l];
        EXPECT_EQ(r[1], 0x64);
        EXPECT_EQ(r[2], 3);
        EXPECT_EQ(r[3], l);
        EXPECT_TRUE(std::equal(r.begin() + 4, r.begin() + 12, programs.LineBytes(3, l)));
    }
    EXPECT_EQ(sink.progress, 24);

    Echo(output.reports.back()); // reply to line 24
    EXPECT_EQ(output.reports.size(), 25u);
    EXPECT_EQ(sink.progress, 24);
    EXPECT_EQ(sink.events.size(), 1u + 24u); // bar to 0, 24 advances

    Process(Reply({0x66}));
    EXPECT_EQ(sink.progress, 25);
    EXPECT_EQ(sink.events.end()[-2],
              "status:Program został zapisany do pamięci wewnetrznej urządzenia");
}

TEST_F(TransferTest, SendChainTakesTheNextLineFromTheSetAtThatMoment) {
    messages.SendProgram(1, sink);
    programs.LineBytes(1, 1)[0] = 25; // edited while line 0 is in flight
    Echo(output.reports.back());
    EXPECT_EQ(output.reports.back()[4], 25);
}

TEST_F(TransferTest, ReadChainStoresEveryLineAndRedrawsOnceAtTheEnd) {
    ProgramSet controller;
    for (int l = 0; l < 25; ++l) {
        for (int b = 0; b < 8; ++b) {
            controller.LineBytes(5, l)[b] = static_cast<std::uint8_t>(l * 8 + b + 1);
        }
    }
    messages.ReadProgram(5, sink);
    for (int l = 0; l < 25; ++l) {
        const auto request = output.reports.back();
        ASSERT_EQ(request[1], 0x65);
        ASSERT_EQ(request[3], l);
        Echo(request, controller.LineBytes(request[2], request[3]));
        if (l < 24) {
            EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "render"), 0);
        }
    }
    EXPECT_EQ(output.reports.size(), 25u);
    EXPECT_TRUE(std::equal(programs.LineBytes(5, 0), programs.LineBytes(5, 0) + 200,
                           controller.LineBytes(5, 0)));
    EXPECT_EQ(sink.events.size(), 1u + 24u + 3u);
    EXPECT_EQ(sink.events.end()[-3],
              "status:Program został odczytany z pamieci wewnetrznej urządzenia");
    EXPECT_EQ(sink.events.end()[-2], "render");
    EXPECT_EQ(sink.events.back(), "progress:25");
    EXPECT_EQ(sink.progress, 25);
}

TEST_F(TransferTest, ReadReplyStoresWhereTheReplySaysNotWhereTheRequestAsked) {
    messages.ReadProgram(2, sink);
    Process(Reply({0x65, 7, 24, 9, 8, 7, 6, 5, 4, 3, 2}));
    const Bytes stored(programs.LineBytes(7, 24), programs.LineBytes(7, 24) + 8);
    EXPECT_EQ(stored, (Bytes{9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_EQ(std::count(programs.Data(), programs.Data() + 2000, 0), 2000 - 8);
    EXPECT_EQ(output.reports.size(), 1u);       // the start only; line 24 ends the chain
    EXPECT_EQ(sink.events.end()[-2], "render"); // redrawn although P7 is not current

    Process(Reply({0x65, 8, 10, 1}));
    EXPECT_EQ(output.reports.back(), ([] {
                  Bytes b{0x01, 0x65, 8, 11};
                  b.resize(65, 0);
                  return b;
              }()));
}

TEST_F(TransferTest, LineRepliesOutsideTheSetAreIgnored) {
    const std::vector<Bytes> replies = {{0x64, 10, 0},
                                        {0x64, 0, 25},
                                        {0x64, 255, 255},
                                        {0x65, 10, 3, 1, 1, 1, 1, 1, 1, 1, 1},
                                        {0x65, 0, 25, 1, 1, 1, 1, 1, 1, 1, 1},
                                        {0x65, 200, 200, 1, 1, 1, 1, 1, 1, 1, 1}};
    for (const Bytes& r : replies) {
        Process(Reply(r));
    }
    EXPECT_TRUE(output.reports.empty());
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(std::count(programs.Data(), programs.Data() + 2000, 0), 2000);
    EXPECT_EQ(sink.hexLog.size(), replies.size());
}

// Any byte sequence: only the next line of a chain is ever sent, and only the
// line a LineRead reply names is written.
TEST_F(ReplyTest, RandomReportsSendOnlyTheNextLineOfAChain) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> letter(0x60, 0x8A);
    std::uniform_int_distribution<int> length(0, 80);
    for (int i = 0; i < 20000; ++i) {
        Bytes data(length(random));
        for (auto& b : data) {
            b = static_cast<std::uint8_t>(byte(random) < 128 ? byte(random) % 26 : byte(random));
        }
        if (!data.empty() && i % 2 == 0) {
            data[0] = static_cast<std::uint8_t>(letter(random));
        }
        const ProgramSet before = programs;
        output.reports.clear();
        Process(data);
        const bool lineReply = data.size() >= 3 && (data[0] == 0x64 || data[0] == 0x65) &&
                               data[1] < 10 && data[2] < 24;
        if (!lineReply) {
            ASSERT_TRUE(output.reports.empty());
        } else {
            ASSERT_EQ(output.reports.size(), data[0] == 0x65 && data.size() < 11 ? 0u : 1u);
            if (!output.reports.empty()) {
                EXPECT_EQ(output.reports[0][1], data[0]);
                EXPECT_EQ(output.reports[0][2], data[1]);
                EXPECT_EQ(output.reports[0][3], data[2] + 1);
            }
        }
        // Only the named line may change, and only for a complete LineRead.
        for (int p = 0; p < 10; ++p) {
            for (int l = 0; l < 25; ++l) {
                const bool named =
                    data.size() >= 11 && data[0] == 0x65 && data[1] == p && data[2] == l;
                if (!named) {
                    ASSERT_TRUE(std::equal(before.LineBytes(p, l), before.LineBytes(p, l) + 8,
                                           programs.LineBytes(p, l)));
                }
            }
        }
    }
}

} // namespace
