#include "DeviceLinkView.h"

#include <QSocketNotifier>

#include "DeviceTexts.h"
#include "PlatformHidBackend.h"
#include "QtUiDispatcher.h"

QString DeviceLinkView::SimulatorSuffix() {
    return tr(" (symulator)");
}

DeviceLinkView::DeviceLinkView(QListWidget* listBox, QLabel* panel0, QLabel* panel1,
                               TJvHidDataEvent reportHandler, QObject* parent,
                               std::shared_ptr<HidBackend> backend)
    : QObject(parent), listBox_(listBox), panel0_(panel0), panel1_(panel1),
      backend_(std::move(backend)) {
    if (!backend_) {
        backend_ = CreatePlatformHidBackend();
        platformBackend_ = true;
    }
    // Not a child: the devices share it and it must outlive their readers.
    dispatcher_ = std::make_shared<QtUiDispatcher>();
    controller_ = std::make_unique<TJvHidDeviceController>(backend_, dispatcher_);
    DeviceLinkSink& sink = *this;
    link_ = std::make_unique<DeviceLink>(*controller_, sink, std::move(reportHandler));
    output_ = std::make_unique<CurrentDeviceOutput>(*link_);
    if (listBox_ != nullptr) {
        connect(listBox_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
            if (link_ && listBox_ != nullptr) {
                link_->Select(listBox_->row(item));
            }
        });
    }
    const int fd = backend_->NotificationFd();
    if (fd >= 0) {
        notifier_ = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            if (controller_) {
                controller_->CheckNotifications();
            }
        });
    }
}

DeviceLinkView::~DeviceLinkView() {
    Shutdown();
}

void DeviceLinkView::Shutdown() {
    if (notifier_ != nullptr) {
        notifier_->setEnabled(false);
    }
    if (link_) {
        link_->Shutdown(); // every reader ends here
    }
    // output_ refers to link_; the senders keep the reference Output() gave
    // them, which forwards to output_ only while it exists.
    output_.reset();
    link_.reset();
    controller_.reset();
}

TJvHidDevice* DeviceLinkView::EntryDevice(int row) const {
    if (!link_ || row < 0 || row >= link_->EntryCount()) {
        return nullptr;
    }
    return link_->EntryDevice(row);
}

ReportOutput& DeviceLinkView::Output() {
    return *this;
}

void DeviceLinkView::SetWriteObserver(CurrentDeviceOutput::WriteObserver observer) {
    if (output_) {
        output_->SetWriteObserver(std::move(observer));
    }
}

void DeviceLinkView::SendReport(std::uint8_t letter, const std::uint8_t* payload,
                                std::size_t payloadSize) {
    if (output_ && !writesPaused_) {
        output_->SendReport(letter, payload, payloadSize);
    }
}

HidUiDispatcher& DeviceLinkView::Dispatcher() const {
    return *dispatcher_;
}

void DeviceLinkView::ClearDeviceList() {
    if (listBox_ != nullptr) {
        listBox_->clear();
    }
}

void DeviceLinkView::AddDeviceEntry(const std::string& text, TJvHidDevice* device) {
    if (listBox_ == nullptr) {
        return;
    }
    // The list is narrow: serial number and port in the text, the path too in
    // the tool tip.
    const DeviceIdentity identity =
        device != nullptr ? DeviceIdentity::Of(*device) : DeviceIdentity{};
    auto* item = new QListWidgetItem(QString::fromStdString(identity.Label(text)));
    if (device != nullptr) {
        item->setToolTip(QString::fromStdString(identity.Label(text) + "\n" + identity.path));
    }
    item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(device)));
    listBox_->addItem(item);
}

void DeviceLinkView::ShowStatus(const std::string& text) {
    if (panel0_ != nullptr) {
        panel0_->setText(DeviceTexts::Translate(text));
    }
}

void DeviceLinkView::MarkAsSimulator() {
    simulator_ = true;
    if (panel1_ != nullptr && panel1_->text() == DeviceTexts::Translate(DeviceLink::Connected)) {
        panel1_->setText(panel1_->text() + SimulatorSuffix());
    }
}

void DeviceLinkView::ShowConnection(const std::string& text, const std::string& toolTip) {
    if (panel1_ != nullptr) {
        const bool simulated = simulator_ && text == DeviceLink::Connected;
        panel1_->setText(DeviceTexts::Translate(text) +
                         (simulated ? SimulatorSuffix() : QString()));
        panel1_->setToolTip(DeviceTexts::Translate(toolTip));
    }
    if (text == DeviceLink::Disconnected) {
        emit Disconnected();
    }
}

void DeviceLinkView::ShowCurrentEntry(int index) {
    if (listBox_ == nullptr) {
        return;
    }
    for (int row = 0; row < listBox_->count(); ++row) {
        QListWidgetItem* item = listBox_->item(row);
        QFont font = item->font();
        font.setBold(row == index);
        item->setFont(font);
    }
}
