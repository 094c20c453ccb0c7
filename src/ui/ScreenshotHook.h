#pragma once
// Screenshots for the documentation (scripts/screenshot.sh). When the
// environment variable KXRD4_SCREENSHOT_DIR names a directory, the running
// tool shows each page of the main window in turn, writes one PNG per page
// into that directory ("1-programowanie.png", "2-sterowanie.png",
// "3-opcje.png") and then closes its window. Without the variable nothing
// happens; the tool has no other environment variables.
//
// The hook works the same in every language of the window: it waits on the
// link's state, the buttons' roles and the widgets themselves, never on the
// texts shown, and names its pictures the same in each.
//
// With the emulated controller (kxrd4-pc --demo) the pictures show real work:
// an out-and-back program is put into P0 and sent with "Wyślij program"
// before the first shot; then "Uruchom program" starts it, Play/Stop starts
// the chart, and the "Sterowanie" page is photographed once the chart shows a
// few seconds of the move; then "Symulacja" draws the program's predicted
// curves over it ("simulation.png").
// Between sending and the first shot, P0 is cleared in the tool and read back
// with "Odczytaj program": its question is photographed ("question-read.png")
// and answered "Tak", and stderr says whether the lines read back equal those
// sent ("screenshot: P0 read back equals the program sent"). At the end the
// program is marked as changed, so closing asks whether to save it; that
// question is photographed ("question-close.png") and answered "Nie". The
// texts of each question's buttons go to stderr as well, and with each page
// the connection state of the status bar. After the read-back the menu
// "Edycja" and the text view of P0 are photographed as well ("edit-menu.png",
// "text-view.png") and the manual's page of X_DST ("manual-command.png"),
// then a faulty P1 with its lines marked by "Sprawdź program"
// ("check-marks.png") and the question "Wyślij program" asks for it
// ("question-check.png"). Then the controller is backed up and restored from
// "Opcje": the menu "Plik" with the two commands ("backup-menu.png"), the
// backup's summary ("backup-summary.png"), the restore's question naming the
// controller ("question-restore.png", answered "Tak") and its summary
// ("restore-summary.png"). At the end, as an operator would: the travel
// limits 0..50000 on "Opcje" ("limits.png"), jogs by 1000 towards 50000 until
// one is refused ("jog-refused.png"), a program passing 50000 marked by the
// check ("travel-marks.png") and its run asked ("question-travel.png",
// answered "Nie"), and the axis moving with the line edit dialog open
// ("stop-button.png", the red STOP on the tool bar; the dialog alone in
// "line-editor.png") until Esc there stops it;
// stderr tells the positions.

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <functional>

#include "ProgramSet.h"

class TFMain;

class ScreenshotHook : public QObject {
    Q_OBJECT

public:
    static constexpr const char* Variable = "KXRD4_SCREENSHOT_DIR";

    // Starts the screenshots if the variable is set; the hook lives as a
    // child of the window.
    static void InstallFromEnvironment(TFMain& window);
    // Before the start-up: the question about unsaved changes left by a tool
    // that no longer runs, if one comes within a few seconds, is photographed
    // ("question-recovery.png") and answered "Tak". The screenshot script
    // leaves such changes in a private data folder for it.
    static void WatchStartUpQuestion(TFMain& window);

    // The picture of page 0..2: "1-programowanie.png", "2-sterowanie.png",
    // "3-opcje.png", whatever the window's language.
    static QString PageFileName(int page);

    // The program of the pictures: enable the motor, move out, wait, move
    // back, wait, again.
    static void PutDemoProgram(ProgramSet& programs, int program);

private:
    ScreenshotHook(TFMain& window, const QString& directory);

    // Runs next once ready() holds (looked at every 50 ms), or after
    // timeoutMs in any case with a note on stderr.
    void When(std::function<bool()> ready, int timeoutMs, const char* what,
              std::function<void()> next);
    void After(int delayMs, std::function<void()> next);
    // Writes the picture of the page shown now.
    void Shoot(int page);
    // Shows the page, lets it paint, photographs it, then runs next.
    void ShowAndShoot(int page, std::function<void()> next);
    void SendProgram();
    void ReadProgramBack();
    // The menu "Edycja" opened ("edit-menu.png") and the text view of P0
    // ("text-view.png"), each over the window, and the manual's page of X_DST
    // in its own window ("manual-command.png"); then next.
    void ShootEditing(std::function<void()> next);
    // A faulty program in P1 checked with "Sprawdź program" (F7): the marked
    // lines ("check-marks.png") and the question of "Wyślij program"
    // ("question-check.png", answered "Nie"); then P0 is shown again.
    void ShootCheck(std::function<void()> next);
    // "Kopia sterownika…" into a temporary file, a changed copy of it
    // restored with "Przywróć sterownik…"; then next.
    void ShootBackup(std::function<void()> next);
    // Photographs the window with a box, menu or dialog over it into name.
    void ShootOver(QWidget* top, const QString& name);
    void RunProgramAndChart();
    void ShootLimits(std::function<void()> next);
    bool AtRest() const;
    void JogUntilRefused(int jogs, std::function<void()> next);
    void ShootTravelCheck(std::function<void()> next);
    void StopFromLineEditor(std::function<void()> next);
    // "Nagrywaj" and "Uruchom program": the run view of measured over
    // predicted (run-view.png) and the run's report (report.pdf, with its
    // CSV and PNG).
    void ShootRecording(std::function<void()> next);
    void ShootRecorded(std::function<void()> next);
    void CloseAfterSaveQuestion();
    // Waits for the next question box, photographs it over the window into
    // name and presses its button answer.
    void AnswerQuestion(const QString& name, QMessageBox::StandardButton answer);

    TFMain& window_;
    QString directory_;
};
