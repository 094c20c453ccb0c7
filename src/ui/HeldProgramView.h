#pragma once
// What the controller holds, on the page "Programowanie": a label under the
// listing says whether the program shown equals the bytes last sent to or
// read from the controller in use ("w sterowniku: zgodny"), was changed in the
// editor since ("w sterowniku: zmieniony od wysłania"), differs from what the
// controller was found to hold by a backup, restore or read-back ("w
// sterowniku: inny niż w edytorze") or is not known ("w sterowniku:
// nieznany"). The knowledge is forgotten when the controller changes or goes.
// "Uruchom program" on an unknown program reads it back first (the editor
// keeps its own) and runs at once when it equals the editor's; on a changed
// or differing program it asks first (Enter: Anuluj): Tak sends it, reads it
// back, and runs it once the read-back equals what was sent; Nie runs what the
// controller holds; Anuluj runs nothing.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "HeldPrograms.h"

class EditorHost;
class EditorPage;
class QLabel;
class QTimer;

class HeldProgramView : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void(int)> send; // starts the transfer of a program
        std::function<void(int)> read; // starts reading a program into the set
        std::function<void(int)> run;  // starts a program
        // The path of the controller in use, empty when none.
        std::function<std::string()> currentDevice;
    };

    HeldProgramView(EditorPage& editor, EditorHost& host, Actions actions,
                    QObject* parent = nullptr);

    // The window's transfers: a send starts, the controller reported a
    // program stored, a program was read into the set. ProgramRead returns
    // true when the read was this view's read-back (no step for the edit
    // history: the set is as before it).
    void SendStarted(int program);
    void ProgramSent(int program);
    // The send or read back of the program got no reply in time: a send,
    // verify and run of it ends there, running nothing.
    void TransferStalled(int program);
    bool ProgramRead(int program);

    // A backup or restore of the controller in use learnt what it holds of
    // program, or (nullopt) wrote it without knowing what it holds now.
    void Learned(int program, const std::optional<HeldPrograms::Bytes>& bytes);

    // Before "Uruchom program": true to run the program now.
    bool BeforeRun(int program);

    HeldPrograms::State StateShown() const;
    // Looks at the controller in use now (also done every 100 ms).
    void CheckDevice();

    QLabel* HeldLabel = nullptr;
    // How long the send, read-back and run of a changed program may take at
    // the most (a transfer that stalls ends it at once).
    static constexpr int ChainTimeoutMs = 10000;

private:
    enum class Phase { Idle, Probing, Sending, Verifying };

    void Refresh();
    void EndChain(const QString& status);

    EditorPage& editor_;
    EditorHost& host_;
    Actions actions_;
    HeldPrograms held_;
    std::string device_;
    QTimer* devicePoll_ = nullptr;
    QTimer* chainTimeout_ = nullptr;
    Phase phase_ = Phase::Idle;
    int chainProgram_ = 0;
    HeldPrograms::Bytes sentBytes_{};
    HeldPrograms::Bytes editorBytes_{}; // the program as the read-back began
};
