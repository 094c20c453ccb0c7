#include "TJvHidDevice.h"

#include <algorithm>

#include "CurrentDeviceOutput.h"
#include "TJvHidDeviceController.h"
#include "TJvHidDeviceReadThread.h"

TJvHidDevice::TJvHidDevice(std::unique_ptr<TJvHidPnPInfo> pnpInfo,
                           TJvHidDeviceController* controller, std::shared_ptr<HidBackend> backend,
                           std::shared_ptr<HidUiDispatcher> dispatcher)
    : controller_(controller), backend_(std::move(backend)), dispatcher_(std::move(dispatcher)),
      pnpInfo_(std::move(pnpInfo)),
      interfacePath_(pnpInfo_ ? pnpInfo_->InterfacePath : std::string()) {
    if (!pnpInfo_ || !backend_ || !dispatcher_) {
        throw EControllerError("Device cannot be opened");
    }
    if (controller_ != nullptr) {
        dataHandler_ = controller_->OnDeviceData();
        unplugHandler_ = controller_->OnDeviceUnplug();
    }
    HidHandle handle = backend_->Open(interfacePath_, HidOpenMode::ReadWrite);
    readWriteAccess_ = handle != InvalidHidHandle;
    if (!readWriteAccess_) {
        handle = backend_->Open(interfacePath_, HidOpenMode::QueryOnly);
    }
    if (handle == InvalidHidHandle) {
        throw EControllerError("Device cannot be opened");
    }
    HidAttributes attributes;
    const bool identified = backend_->GetAttributes(handle, attributes);
    backend_->Close(handle);
    if (!identified) {
        throw EControllerError("Device cannot be identified");
    }
    vendorID_ = attributes.VendorID;
    productID_ = attributes.ProductID;
    versionNumber_ = attributes.VersionNumber;
}

TJvHidDevice::~TJvHidDevice() {
    const TJvHidDataEvent data = dataHandler_;
    const TJvHidPlugEvent unplug = unplugHandler_;
    SetDataHandler(nullptr);
    unplugHandler_ = nullptr;
    CloseAllHandles();
    capsFetched_ = false;
    if (controller_ != nullptr) {
        controller_->ReleaseEntry(*this, data, unplug);
    }
}

bool TJvHidDevice::OpenMainHandle() {
    if (Accessible() && mainHandle_ == InvalidHidHandle) {
        mainHandle_ = backend_->Open(interfacePath_, HidOpenMode::ReadWrite);
        readWriteAccess_ = mainHandle_ != InvalidHidHandle;
        if (!readWriteAccess_) {
            mainHandle_ = backend_->Open(interfacePath_, HidOpenMode::QueryOnly);
        }
    }
    return mainHandle_ != InvalidHidHandle;
}

void TJvHidDevice::CloseMainHandle() {
    if (mainHandle_ != InvalidHidHandle) {
        backend_->Close(mainHandle_);
        mainHandle_ = InvalidHidHandle;
    }
}

void TJvHidDevice::CloseAllHandles() {
    CloseMainHandle();
    // The reader owns the read handle: ask it to close it.
    ++readHandleEpoch_;
    if (reader_) {
        reader_->Wake();
    }
}

namespace {

// A string as the device gave it, up to its first zero character, at most
// MaxProductStringLength characters.
std::u16string Trimmed(std::u16string text) {
    const auto zero = text.find(u'\0');
    if (zero != std::u16string::npos) {
        text.resize(zero);
    }
    if (text.size() > TJvHidDevice::MaxProductStringLength) {
        text.resize(TJvHidDevice::MaxProductStringLength);
    }
    return text;
}

} // namespace

bool TJvHidDevice::MayBeController() {
    const HidCaps caps = Caps();
    if (!capsFetched_) {
        return true; // cannot tell
    }
    return caps.InputReportByteLength > 0 &&
           caps.OutputReportByteLength >= CurrentDeviceOutput::MinOutputLength &&
           caps.OutputReportByteLength <= CurrentDeviceOutput::BufferSize;
}

HidStringCache* TJvHidDevice::StringCache() {
    if (controller_ == nullptr) {
        return nullptr;
    }
    HidStringCache& cache = controller_->stringCache_;
    const HidStringCache::Key key = CacheKey();
    if (!cache.Known(key) && !MayBeController()) {
        cache.Remember(key);
    }
    return cache.Known(key) ? &cache : nullptr;
}

HidStringCache::Key TJvHidDevice::CacheKey() const {
    return {interfacePath_, vendorID_, productID_, versionNumber_};
}

std::u16string TJvHidDevice::ProductString() {
    if (!productString_.empty()) {
        return productString_;
    }
    // A device that cannot be a KX-RD4 is asked once per path.
    HidStringCache* cache = StringCache();
    if (cache != nullptr) {
        if (auto text = cache->Find(CacheKey(), HidStringCache::Kind::Product)) {
            productString_ = std::move(*text);
            return productString_;
        }
    }
    if (OpenMainHandle()) {
        std::u16string text;
        if (backend_->GetProductString(mainHandle_, text)) {
            productString_ = Trimmed(std::move(text));
        }
        CloseMainHandle();
        if (cache != nullptr) {
            cache->Store(CacheKey(), HidStringCache::Kind::Product, productString_);
        }
    }
    return productString_;
}

std::u16string TJvHidDevice::SerialNumberString() {
    if (serialFetched_) {
        return serialNumber_;
    }
    HidStringCache* cache = StringCache();
    if (cache != nullptr) {
        if (auto text = cache->Find(CacheKey(), HidStringCache::Kind::Serial)) {
            serialNumber_ = std::move(*text);
            serialFetched_ = true;
            return serialNumber_;
        }
    }
    if (OpenMainHandle()) {
        std::u16string text;
        if (backend_->GetSerialNumberString(mainHandle_, text)) {
            serialNumber_ = Trimmed(std::move(text));
        }
        // A device without a serial number has none later either.
        serialFetched_ = true;
        CloseMainHandle();
        if (cache != nullptr) {
            cache->Store(CacheKey(), HidStringCache::Kind::Serial, serialNumber_);
        }
    }
    return serialNumber_;
}

HidCaps TJvHidDevice::Caps() {
    if (!capsFetched_ && OpenMainHandle()) {
        HidCaps caps;
        if (backend_->GetCaps(mainHandle_, caps)) {
            caps_ = caps;
            capsFetched_ = true;
        }
        CloseMainHandle();
    }
    return capsFetched_ ? caps_ : HidCaps{};
}

bool TJvHidDevice::WriteReport(const std::uint8_t* buffer, std::size_t length,
                               std::uint32_t& written) {
    written = 0;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    if (start < writeRestUntil_ || !OpenMainHandle()) {
        return false;
    }
    std::size_t count = 0;
    const bool ok = backend_->Write(mainHandle_, buffer, length, count);
    written = static_cast<std::uint32_t>(count);
    if (!ok) {
        // The handle may be dead (the device reset or came back under the
        // same node): the next write opens it anew.
        CloseMainHandle();
        const auto end = Clock::now();
        if (end - start >= std::chrono::milliseconds(HidWriteTimeoutMs * 9 / 10)) {
            writeRestUntil_ = end + std::chrono::milliseconds(StalledWriteRestMs);
        }
    }
    return ok;
}

void TJvHidDevice::SetReaderSleepTime(int milliseconds) {
    if (milliseconds >= MinReaderSleepTime && milliseconds <= MaxReaderSleepTime) {
        readerSleepTime_ = milliseconds;
    }
}

void TJvHidDevice::SetDataHandler(TJvHidDataEvent handler) {
    if (!handler) {
        StopReader();
    }
    dataHandler_ = std::move(handler);
    StartReader();
}

void TJvHidDevice::StartReader() {
    if (dataHandler_ && plugged_ && claimed_ && readWriteAccess_ && !reader_) {
        const HidCaps caps = Caps();
        // A device without input reports (or whose lengths cannot be read)
        // could never deliver one: no reader, so nothing wakes up for it.
        if (caps.InputReportByteLength == 0) {
            return;
        }
        reader_ = std::make_unique<TJvHidDeviceReadThread>(*this, caps.InputReportByteLength);
        reader_->Start();
    }
}

void TJvHidDevice::StopReader() {
    if (reader_) {
        reader_->Terminate();
        if (delivering_) {
            // Its hand-over is the call running now: it ends once that returns.
            retired_.push_back(std::move(reader_));
        } else {
            reader_->WaitFor();
            reader_.reset();
        }
    }
    if (!delivering_) {
        for (auto& retired : retired_) {
            retired->WaitFor();
        }
        retired_.clear();
    }
}

void TJvHidDevice::MarkUnplugged() {
    // Not accessible first, so a reader woken by the close cannot open again.
    plugged_ = false;
    CloseAllHandles();
    if (unplugHandler_) {
        const TJvHidPlugEvent handler = unplugHandler_;
        handler(*this);
        unplugHandler_ = nullptr;
    }
}

void TJvHidDevice::Deliver(const std::uint8_t* report, std::size_t count) {
    // Looked at here, on the user-interface thread: an empty slot gets nothing.
    if (dataHandler_ && count > 0) {
        const TJvHidDataEvent handler = dataHandler_;
        delivering_ = true;
        try {
            handler(*this, report[0], report + 1,
                    static_cast<std::uint16_t>(static_cast<std::uint16_t>(count) - 1));
        } catch (...) {
            delivering_ = false;
            throw;
        }
        delivering_ = false;
    }
}

void TJvHidDevice::DeliverError(std::uint32_t error) {
    if (dataErrorHandler_) {
        const TJvHidDataErrorEvent handler = dataErrorHandler_;
        handler(*this, error);
    }
}
