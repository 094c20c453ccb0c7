#pragma once
// A virtual HID device made through the kernel's /dev/uhid: the emulated
// controller of kxrd4-sim and the devices of the kernel tests. Creating the
// object plugs the device in (a hidraw node appears once hid-generic has bound
// it); Destroy() or the destructor unplugs it. A background thread serves the
// kernel's events: each output report goes to the output handler when one is
// set; otherwise it is kept (Outputs) and, unless told otherwise, sent back
// unchanged as an input report.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class UhidDevice {
public:
    struct Config {
        std::string name;         // becomes HID_NAME, the product string without a USB parent
        std::string uniq;         // HID_UNIQ; empty picks a unique text so the node can be found
        std::uint16_t bus = 0x03; // BUS_USB
        std::uint32_t vendor = 0;
        std::uint32_t product = 0;
        std::uint32_t version = 0;
        std::string phys = "kxrd4-test";
        std::vector<std::uint8_t> descriptor;
        bool echoOutputs = true;
        // Called on the event thread with every output report (the first byte
        // is the report identifier for devices with numbered reports); may
        // answer through the device's SendInput.
        std::function<void(UhidDevice& device, const std::vector<std::uint8_t>& report)> onOutput;
        // Called on the event thread whenever a program opens or closes the
        // device, with the number of openers now.
        std::function<void(int openCount)> onOpenChange;
    };

    // Opens /dev/uhid and creates the device. Throws std::system_error with
    // the error number when /dev/uhid cannot be opened (ENOENT: the module is
    // not loaded; EACCES: no permission) and std::runtime_error for other
    // failures.
    explicit UhidDevice(Config config);
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // Unplugs the device (UHID_DESTROY) and ends the event thread. Idempotent.
    void Destroy();

    // Sends one input report as the device would; the first byte is the report
    // identifier for devices with numbered reports.
    bool SendInput(const std::vector<std::uint8_t>& report);

    // Waits until the hidraw node of this device exists and returns its path
    // (/dev/hidrawN), or an empty text after the timeout.
    std::string WaitForHidrawNode(std::chrono::milliseconds timeout) const;
    // The sysfs folder of the hidraw class device (/sys/class/hidraw/hidrawN),
    // or empty when it does not exist (yet, or any more).
    std::string HidrawSysfsPath() const;

    // Output reports received so far (without an output handler), in order,
    // each as the kernel passed it.
    std::vector<std::vector<std::uint8_t>> Outputs() const;
    // Waits until at least count output reports have arrived.
    bool WaitForOutputs(std::size_t count, std::chrono::milliseconds timeout) const;
    // Number of UHID_OPEN events minus UHID_CLOSE events: whether some
    // program holds the hidraw node open.
    int OpenCount() const;
    bool WaitForOpenCount(int count, std::chrono::milliseconds timeout) const;

    const Config& config() const { return config_; }

    // Descriptor of a vendor-defined device with report ID 1 and input and
    // output reports of the given byte count (the controller's layout).
    static std::vector<std::uint8_t> NumberedDescriptor(std::uint8_t reportBytes);
    // Descriptor of a vendor-defined device without report IDs.
    static std::vector<std::uint8_t> UnnumberedDescriptor(std::uint8_t reportBytes);

private:
    void Serve();
    bool WriteEvent(const void* event, std::size_t size);

    Config config_;
    int fd_ = -1;
    int stopFd_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::vector<std::uint8_t>> outputs_;
    int openCount_ = 0;
    bool destroyed_ = false;
};
