#pragma once
// The device link of the main window: owns the HID back end, the hand-over,
// the controller JvHidDeviceController1 and the selection of CurrentDevice,
// fills ListBox1 (each entry holds its device and shows its serial number and
// USB port; the one in use is bold) and shows the link state in status panels
// 0 and 1. A double-click on a KX-RD4 in ListBox1 makes it the one in use. Device-node changes
// reach it through a socket notifier on the back end's notification descriptor.
//
// Call Shutdown before destroying anything the report handler uses: it
// releases every held device (stopping its reader) and then the controller.

#include <QLabel>
#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

#include "CurrentDeviceOutput.h"
#include "DeviceLink.h"
#include "DeviceLinkSink.h"
#include "HidBackend.h"
#include "ReportOutput.h"
#include "TJvHidDeviceController.h"

class QSocketNotifier;
class QtUiDispatcher;

class DeviceLinkView : public QObject, private DeviceLinkSink, private ReportOutput {
    Q_OBJECT
public:
    // Without a back end, the Linux hidraw back end is used. The first scan
    // runs when the event loop processes the controller's first notification.
    DeviceLinkView(QListWidget* listBox, QLabel* panel0, QLabel* panel1,
                   TJvHidDataEvent reportHandler, QObject* parent = nullptr,
                   std::shared_ptr<HidBackend> backend = nullptr);
    ~DeviceLinkView() override;

    void Shutdown();

    // The device is an emulated controller: the connection panel reads
    // "Połączony (symulator)" instead of "Połączony".
    void MarkAsSimulator();
    static QString SimulatorSuffix();

    // Where the senders write (SendReport to CurrentDevice). The reference
    // stays valid as long as the view; after Shutdown writes go nowhere.
    ReportOutput& Output();
    // While paused, the window's own reports are not written (another user of
    // the controller, such as a backup, has it for itself).
    void SetWritesPaused(bool paused) { writesPaused_ = paused; }
    bool WritesPaused() const { return writesPaused_; }
    // Told of every report after the attempt to write it.
    void SetWriteObserver(CurrentDeviceOutput::WriteObserver observer);
    TJvHidDevice* CurrentDevice() const { return link_ ? link_->CurrentDevice() : nullptr; }
    TJvHidDeviceController* JvHidDeviceController1() const { return controller_.get(); }
    // The HID back end the link uses; whether it is the platform's own
    // (none was given).
    const std::shared_ptr<HidBackend>& Backend() const { return backend_; }
    bool PlatformBackend() const { return platformBackend_; }
    // The device an entry of ListBox1 holds, or null.
    TJvHidDevice* EntryDevice(int row) const;
    HidUiDispatcher& Dispatcher() const;

signals:
    // The connection panel went to "Rozłączony".
    void Disconnected();

private:
    void ClearDeviceList() override;
    void AddDeviceEntry(const std::string& text, TJvHidDevice* device) override;
    void ShowStatus(const std::string& text) override;
    void ShowConnection(const std::string& text, const std::string& toolTip) override;
    void ShowCurrentEntry(int index) override;
    void SendReport(std::uint8_t letter, const std::uint8_t* payload,
                    std::size_t payloadSize) override;

    QPointer<QListWidget> listBox_;
    QPointer<QLabel> panel0_;
    QPointer<QLabel> panel1_;
    std::shared_ptr<HidBackend> backend_;
    std::shared_ptr<QtUiDispatcher> dispatcher_;
    std::unique_ptr<TJvHidDeviceController> controller_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<CurrentDeviceOutput> output_;
    QSocketNotifier* notifier_ = nullptr;
    bool simulator_ = false;
    bool writesPaused_ = false;
    bool platformBackend_ = false;
};
