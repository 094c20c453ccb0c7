// The library against what it wraps, on emulated controllers in the process:
//  - one parameter read (vmax): the C++ session's round trip (ControllerSession
//    and ParameterAccess, the floor) and the same through the C API (Python's
//    figure comes from bench/lib/python_get.py, against this floor);
//  - opening an emulated controller through the C API (a scan and a choice);
//  - kxrd4-cli restore FILE --all (in-process) onto 1 and onto 16 controllers
//    whose every write takes WriteLatencyUs, as a full-speed USB round trip
//    does (the interrupt OUT and IN transfers of 1 ms each).

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <list>
#include <sstream>
#include <string>

#include "Cli.h"
#include "ControllerSession.h"
#include "EmulatedBackend.h"
#include "EmulatorPeer.h"
#include "ParameterAccess.h"
#include "SimulatedHidBackend.h"
#include "kxrd4/kxrd4.h"

namespace {

constexpr std::chrono::microseconds WriteLatencyUs{2000};

void BM_Lib_SessionGetVmax(benchmark::State& state) {
    ControllerSession session(EmulatedBackend::Create("BENCH-1"), std::chrono::seconds(1));
    std::string error;
    session.Choose(std::nullopt);
    const ParameterTable::Parameter* vmax = ParameterAccess::Find("vmax", error);
    for (auto _ : state) {
        ControllerSession::Reply reply;
        if (!ParameterAccess::Read(session, *vmax, reply, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(reply.value);
    }
}
BENCHMARK(BM_Lib_SessionGetVmax)->UseRealTime();

void BM_Lib_CApiGetVmax(benchmark::State& state) {
    kxrd4_controller* c = nullptr;
    if (kxrd4_open_emulator("BENCH-1", 1000, &c) != KXRD4_OK) {
        state.SkipWithError(kxrd4_thread_error());
        return;
    }
    for (auto _ : state) {
        std::int32_t value = 0;
        if (kxrd4_get(c, "vmax", &value, nullptr) != KXRD4_OK) {
            state.SkipWithError(kxrd4_thread_error());
            break;
        }
        benchmark::DoNotOptimize(value);
    }
    kxrd4_close(c);
}
BENCHMARK(BM_Lib_CApiGetVmax)->UseRealTime();

void BM_Lib_OpenEmulated(benchmark::State& state) {
    for (auto _ : state) {
        kxrd4_controller* c = nullptr;
        if (kxrd4_open_emulator("BENCH-1", 1000, &c) != KXRD4_OK) {
            state.SkipWithError(kxrd4_thread_error());
            break;
        }
        kxrd4_close(c);
    }
}
BENCHMARK(BM_Lib_OpenEmulated)->UseRealTime();

// restore FILE --all onto state.range(0) controllers.
void BM_Lib_RestoreAll(benchmark::State& state) {
    auto backend = std::make_shared<SimulatedHidBackend>();
    std::list<EmulatorPeer> peers;
    for (int i = 0; i < state.range(0); ++i) {
        SimulatedHidBackend::DeviceSpec kxrd4;
        kxrd4.ProductString = u"KX-RD4";
        kxrd4.SerialNumber = u"R-" + std::u16string(1, static_cast<char16_t>(u'A' + i));
        kxrd4.InputReportByteLength = EmulatorPeer::ReportLength;
        kxrd4.OutputReportByteLength = EmulatorPeer::ReportLength;
        kxrd4.WriteLatency = WriteLatencyUs;
        peers.emplace_back(*backend, backend->Plug(kxrd4));
    }
    const auto file = std::filesystem::temp_directory_path() /
                      ("kxrd4-bench-" + std::to_string(::getpid()) + ".kxb");
    {
        // Two parameters and a program of three lines: 1 + 2 writes, 25 lines
        // sent and read back per program, the reads of the check.
        std::ofstream(file) << "[parameters]\nvmax = 1200\namax = 600\n[programs]\nP3\n"
                               "[00]  M_EN\n[01]  X_DST  +0001000\n[02]  END\n";
    }
    const Cli::BackendFactory factory = [backend] {
        return SimulatedHidBackend::NewClient(backend);
    };
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (RunCli({"restore", file.string(), "--all"}, factory, out, err) != 0) {
            state.SkipWithError(("restore --all failed: " + err.str()).c_str());
            break;
        }
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_Lib_RestoreAll)->Arg(1)->Arg(16)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
