#pragma once
// The program check in the window: "Sprawdź program" (F7) checks the program
// shown, lists the findings in the log and marks the lines on the listing
// (pale red errors, pale yellow warnings, the texts as tool tips). From then
// on the marks follow every change and every program shown. Sending and
// running ask first when the program has errors. With travel limits kept for
// the controller in use, the program also runs dry (ProgramDryRun) from the
// axis's last known position (0 without one): leaving the limits is an
// error on the line that set the axis moving, named in the question. The
// findings show in the window's language (the check words each in Polish and
// in English).

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ProgramCheck.h"
#include "TravelLimits.h"

class EditorHost;
class EditorPage;
class QAction;
class QMenu;

class ProgramCheckView : public QObject {
    Q_OBJECT

public:
    using Log = std::function<void(const QString&)>;

    ProgramCheckView(EditorPage& editor, EditorHost& host, Log log, QObject* parent = nullptr);

    // The travel limits of the controller in use (nullopt: none kept) and
    // the axis's position (nullopt: not known, the dry run starts at 0).
    void SetTravel(std::function<std::optional<TravelLimits>()> limits,
                   std::function<std::optional<std::int32_t>()> position);

    // Adds "Sprawdź program" at the end of the menu (after a separator).
    void AddTo(QMenu* menu);

    // F7: checks the program shown, logs the findings, marks the lines.
    void CheckShownProgram();

    // Before "Wyślij program" / "Uruchom program" on a program: checks it,
    // marks it, and when it has errors asks whether to go on. True to go on.
    bool ConfirmSend(int program);
    bool ConfirmRun(int program);

    // The findings of the last check.
    const std::vector<ProgramCheck::Finding>& Findings() const { return findings_; }

    QAction* CheckProgram1 = nullptr;

private:
    bool Confirm(int program, const QString& title, const QString& question);
    void Check(int program, bool log);
    void Mark();

    EditorPage& editor_;
    EditorHost& host_;
    Log log_;
    std::function<std::optional<TravelLimits>()> limits_;
    std::function<std::optional<std::int32_t>()> position_;
    bool marking_ = false;
    int checkedProgram_ = -1;
    std::vector<ProgramCheck::Finding> findings_;
};
