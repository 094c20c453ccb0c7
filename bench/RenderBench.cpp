// The editor's texts against their floors, on the offscreen platform.
//
// BM_RenderLine: one line's text ("[07]  X_DST  +0001200"), over the 25 lines
// of a program holding 25 different commands. Floor BM_Floor_RenderLine: the
// same text made by one snprintf from its pieces already at hand (the
// mnemonic and the operand text), i.e. the cost of formatting alone.
// BM_RenderProgram: the window's RenderProgram, the 25 labels of the current
// program, alternating between two programs so every label changes. Floor
// BM_Floor_RenderProgram: the same 25 labels set to the same texts made
// beforehand, i.e. the cost of the labels alone.

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "EditorPage.h"
#include "ProgramSet.h"
#include "SilentOperator.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"

namespace {

// Line n holds command n (0..24) with operand digits that differ per line.
ProgramSet SampleSet() {
    ProgramSet set;
    for (int program = 0; program < 2; ++program) {
        for (int n = 0; n < LinesPerProgram; ++n) {
            ProgramLine line{};
            line[0] = static_cast<std::uint8_t>(n);
            for (int i = 1; i < 8; ++i) {
                line[i] = static_cast<std::uint8_t>((n + i + program) % 10);
            }
            set.SetLine(program, n, line);
        }
    }
    return set;
}

void BM_RenderLine(benchmark::State& state) {
    const ProgramSet set = SampleSet();
    int n = 0;
    for (auto _ : state) {
        std::string text = RenderLine(n, set.Line(0, n));
        benchmark::DoNotOptimize(text.data());
        n = n == LinesPerProgram - 1 ? 0 : n + 1;
    }
}
BENCHMARK(BM_RenderLine);

void BM_Floor_RenderLine(benchmark::State& state) {
    // The pieces of each text: the mnemonic and what follows it.
    const ProgramSet set = SampleSet();
    std::vector<std::string> mnemonics;
    std::vector<std::string> rests;
    for (int n = 0; n < LinesPerProgram; ++n) {
        const std::string text = RenderLine(n, set.Line(0, n));
        mnemonics.push_back(text.substr(6, 5));
        rests.push_back(text.substr(11));
    }
    char buffer[64];
    int n = 0;
    for (auto _ : state) {
        const int length = std::snprintf(buffer, sizeof buffer, "[%02d]  %s%s", n,
                                         mnemonics[static_cast<std::size_t>(n)].c_str(),
                                         rests[static_cast<std::size_t>(n)].c_str());
        std::string text(buffer, static_cast<std::size_t>(length));
        benchmark::DoNotOptimize(text.data());
        n = n == LinesPerProgram - 1 ? 0 : n + 1;
    }
}
BENCHMARK(BM_Floor_RenderLine);

struct Window {
    NoBoxes boxes;
    NoDialogs dialogs;
    TFMain main{boxes, dialogs, std::make_shared<SimulatedHidBackend>()};
    Window() {
        main.StartUp();
        main.Programs() = SampleSet();
    }
};

void BM_RenderProgram(benchmark::State& state) {
    Window window;
    EditorPage& editor = window.main.Editor();
    int program = 0;
    for (auto _ : state) {
        program ^= 1;
        editor.p[program]->setChecked(true);
        window.main.RenderProgram();
    }
}
BENCHMARK(BM_RenderProgram)->Unit(benchmark::kMicrosecond);

void BM_Floor_RenderProgram(benchmark::State& state) {
    Window window;
    EditorPage& editor = window.main.Editor();
    std::vector<QString> texts[2];
    for (int program = 0; program < 2; ++program) {
        for (int n = 0; n < LinesPerProgram; ++n) {
            texts[program].push_back(
                QString::fromStdString(RenderLine(n, window.main.Programs().Line(program, n))));
        }
    }
    int program = 0;
    for (auto _ : state) {
        program ^= 1;
        editor.p[program]->setChecked(true);
        for (int n = 0; n < LinesPerProgram; ++n) {
            editor.line[n]->setText(texts[program][static_cast<std::size_t>(n)]);
        }
    }
}
BENCHMARK(BM_Floor_RenderProgram)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
