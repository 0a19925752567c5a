#include "device/transport.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "device/command_result.h"
#include "device/device_report.h"

namespace qv::device {

Transport::Transport(HidService& service, TransportTiming timing)
    : service_(service),
      timing_(timing),
      deviceCountCheckValue_(CheckValueForDeviceCount(kControlSelector)) {}

Transport::~Transport() {
    // Cancelling waits for a callback that is running; that callback may write the LED report,
    // so the LED lock must not be held here.
    std::uint32_t ledId = 0;
    {
        std::lock_guard lock(ledMutex_);
        ledId = std::exchange(ledWriteId_, 0);
    }
    std::lock_guard lock(registrationMutex_);
    for (std::uint32_t id : {controlReadId_, consumerReadId_, ledId}) {
        service_.DeleteRequestFromUnitId(id);
    }
    controlReadId_ = consumerReadId_ = 0;
}

bool Transport::Load(TransportListener* listener) {
    if (service_.Init(0) <= 0) {
        return false;
    }
    listener_.store(listener);
    {
        std::lock_guard lock(ledMutex_);
        ledReport_ = kInitialLedReport;
        ledWriteId_ = 0;
    }
    Register(kConsumerSelector, TAG_CONS, consumerReadId_);
    {
        std::lock_guard lock(slotMutex_);
        inFlight_ = false;
        replied_ = false;
    }
    Register(kControlSelector, TAG_CTRL, controlReadId_);
    const int count = DeviceCount();
    if (listener != nullptr) {
        listener->OnPresenceReport(count);
    }
    return true;
}

void Transport::Register(const DeviceSelector& selector, std::uint32_t tag, std::uint32_t& idSlot) {
    std::lock_guard lock(registrationMutex_);
    service_.DeleteRequestFromUnitId(idSlot);
    idSlot = 0;
    service_.RequestAsyncRead(selector, this, tag, CheckValueForAsyncRead(selector, this, tag),
                              &idSlot);
}

int Transport::DeviceCount() {
    return service_.RequestGetDeviceCount(kControlSelector, 0, 0, deviceCountCheckValue_, 0);
}

int Transport::Exchange(Bytes request, MutableBytes reply, std::size_t& receivedLength) {
    // Callers on different threads take turns: the reply slot belongs to one exchange at a time,
    // so nobody has to back off for a fixed time and hope the slot is free afterwards.
    std::lock_guard exchangeLock(exchangeMutex_);
    receivedLength = 0;
    if (DeviceCount() <= 0) {
        return kNoKeyboard;
    }

    ReportBytes sent{};
    std::copy_n(request.begin(), std::min(request.size(), sent.size()), sent.begin());
    const std::uint32_t checkValue = CheckValueForWriteOne(kControlSelector, sent);

    int failedAttempts = 0;
    // An attempt that went out and got no answer may have been carried out all the same.
    bool unanswered = false;
    for (;;) {
        {
            std::lock_guard lock(slotMutex_);
            replyBuffer_ = reply;
            receivedLength_ = 0;
            replied_ = false;
            corrupt_ = false;
            awaited_ = sent;
            inFlight_ = true;
        }
        Trace(TraceDirection::Sent, TAG_CTRL, sent);
        if (service_.RequestWriteOne(kControlSelector, 0, 0, sent, checkValue, 0) <= 0) {
            std::lock_guard lock(slotMutex_);
            inFlight_ = false;
            // "Refused" promises that the keyboard never saw the request; after an attempt
            // that went out unanswered it is only a reply that never came.
            return unanswered ? kNoReply : kSendRefused;
        }

        bool statusFailure = false;
        {
            std::unique_lock lock(slotMutex_);
            // A corrupt answer is as good as none: the request goes again at once rather than
            // after the whole wait. A zero wait only looks at the slot: a timed wait that is
            // already over still goes to sleep in the kernel for the timer's slack.
            const auto answered = [this] { return replied_ || corrupt_; };
            if (timing_.replyWait > std::chrono::milliseconds::zero()) {
                replyArrived_.wait_for(lock, timing_.replyWait, answered);
            }
            inFlight_ = false;
            if (replied_) {
                const Bytes got = Bytes(reply).first(receivedLength_);
                const bool failedStatus =
                    got[kStatusOffset] == kStatusFailFF || got[kStatusOffset] == kStatusFailFE;
                if (!failedStatus) {
                    receivedLength = receivedLength_;
                    return kSuccess;
                }
                statusFailure = true;
            } else {
                unanswered = true;
            }
            ++failedAttempts;
            if (failedAttempts == kExchangeAttempts) {
                if (statusFailure) {
                    // The status byte in the reply tells the command layer which failure it was.
                    receivedLength = receivedLength_;
                    return kSuccess;
                }
                return kNoReply;
            }
        }
        std::this_thread::sleep_for(timing_.retryPause);
    }
}

namespace {

bool AnswersRequest(Bytes reply, const ReportBytes& request) {
    // The keyboard echoes command, length and offset: a reply that names another request is
    // late (an earlier attempt's or exchange's) or misnumbered.
    return std::equal(request.begin() + kCommandOffset, request.begin() + kStatusOffset,
                      reply.begin() + kCommandOffset);
}

bool ChecksumHolds(Bytes reply) {
    const std::span<const std::uint8_t, kReportSize> report(reply.data(), kReportSize);
    return ReadU16LE(reply, kChecksumOffset) == ReportChecksum(report);
}

}  // namespace

void Transport::DeliverReply(const ServiceEvent& event) {
    std::lock_guard lock(slotMutex_);
    // A report that arrives while no exchange waits, or after the waiting one was answered,
    // belongs to nobody and is dropped.
    if (!inFlight_ || replied_ || corrupt_) {
        return;
    }
    const Bytes got =
        event.data.first(std::min(static_cast<std::size_t>(event.value), event.data.size()));
    if (got.size() < kReportSize) {
        corrupt_ = true;  // cut short: neither its header nor its checksum can be trusted
    } else if (!AnswersRequest(got, awaited_)) {
        return;  // not the answer this exchange waits for; it may still come
    } else if (!ChecksumHolds(got)) {
        corrupt_ = true;
    }
    if (corrupt_) {
        replyArrived_.notify_one();
        return;
    }
    const std::size_t length = std::min(got.size(), replyBuffer_.size());
    std::copy_n(got.begin(), length, replyBuffer_.begin());
    receivedLength_ = length;
    replied_ = true;
    replyArrived_.notify_one();
}

int Transport::ServiceCallback(const ServiceEvent& event) {
    TransportListener* listener = listener_.load();
    if (event.kind == ServiceEventKind::DataArrived) {
        const Bytes data = event.data.first(std::min<std::size_t>(event.value, event.data.size()));
        if (event.tag == TAG_CTRL) {
            Trace(TraceDirection::Received, event.tag, data);
            DeliverReply(event);
        } else if (event.tag == TAG_CONS) {
            Trace(TraceDirection::Received, event.tag, data);
            if (data.size() >= 2 && listener != nullptr) {
                listener->OnKeyEvent(ReadU16LE(data, 0));
            }
        }
    } else if (event.kind == ServiceEventKind::DeviceCountChanged && event.tag == TAG_CTRL) {
        if (listener != nullptr) {
            listener->OnPresenceReport(static_cast<int>(event.value));
        }
    }
    return 1;
}

LedReportBytes Transport::LedReport() const {
    std::lock_guard lock(ledMutex_);
    return ledReport_;
}

void Transport::SetLedReport(LedReportBytes report) {
    std::lock_guard lock(ledMutex_);
    ledReport_ = report;
}

void Transport::WriteLedReport() {
    std::lock_guard lock(ledMutex_);
    service_.DeleteRequestFromUnitId(ledWriteId_);
    ledWriteId_ = 0;
    Trace(TraceDirection::Sent, TAG_LED, ledReport_);
    service_.RequestStatusWrite(kLedSelector, this, TAG_LED, ledReport_,
                                CheckValueForStatusWrite(kLedSelector, this, TAG_LED, ledReport_),
                                &ledWriteId_);
}

void Transport::Trace(TraceDirection direction, std::uint32_t tag, Bytes report) const {
    if (trace_) {
        trace_(direction, tag, report);
    }
}

}  // namespace qv::device
