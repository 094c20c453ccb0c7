#pragma once
// A started main window with scripted boxes and dialogs, shown on the
// offscreen platform, and helpers to find its controls by name.

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

#include "ShellFakes.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"
#include "WindowSettings.h"

// The controller's replies to a program sent and read back, as the status bar
// shows them.
inline const QString Stored = "Program został zapisany do pamięci wewnetrznej urządzenia";
inline const QString ReadBack = "Program został odczytany z pamieci wewnetrznej urządzenia";

template <class Window = TFMain, class Dialogs = ShellDialogs>
class ShellFixtureOf : public ::testing::Test {
protected:
    void SetUp() override {
        // A device link without devices, and a settings file of the test's own.
        window = std::make_unique<Window>(boxes, dialogs, backend);
        Prepare(*window);
        window->Settings().SetSettingsPath(settingsDir.filePath(QStringLiteral("config.ini")));
        window->StartUp();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window->ShutDown();
        window.reset();
    }

    // Runs between the creation of the window and its start-up.
    virtual void Prepare(Window&) {}

    template <class T = QWidget> T* Find(const QString& name) const {
        T* found = window->template findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    ShellBoxes boxes;
    Dialogs dialogs;
    std::shared_ptr<SimulatedHidBackend> backend = std::make_shared<SimulatedHidBackend>();
    QTemporaryDir settingsDir;
    std::unique_ptr<Window> window;
};

using ShellFixture = ShellFixtureOf<>;
