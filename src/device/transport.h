#pragma once

// The transport over the HID service: registers the continuous reads, exchanges one report at
// a time with the keyboard, routes the keyboard's own key events and presence changes to the
// device worker, and writes the key bank indicator.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "device/device_report.h"
#include "device/hid_service.h"
#include "device/report_exchange.h"

namespace qv::device {

struct TransportTiming {
    // Per attempt; zero takes only a reply that came before the send call returned.
    std::chrono::milliseconds replyWait{1000};
    std::chrono::milliseconds retryPause{10};  // between attempts
    // Before the end of a transfer group, so the keyboard has finished the group's last write.
    std::chrono::milliseconds endTransferPause{10};
};

inline constexpr int kExchangeAttempts = 3;

// Where presence reports and key events go (the device worker).
class TransportListener {
public:
    // At load with the count found then, and on the service thread on every count change.
    virtual void OnPresenceReport(int count) = 0;
    // On the service thread, for every consumer report: its first two bytes, little-endian.
    virtual void OnKeyEvent(std::uint16_t code) = 0;

protected:
    ~TransportListener() = default;
};

enum class TraceDirection { Sent, Received };
// Sees every report sent and received; called on the thread that sends or receives it.
using TraceFunction = std::function<void(TraceDirection, std::uint32_t tag, Bytes report)>;

using LedReportBytes = std::array<std::uint8_t, 2>;
inline constexpr LedReportBytes kInitialLedReport{0x05, 0x02};

class Transport final : public ReportExchange, public ServiceCallbackTarget {
public:
    explicit Transport(HidService& service, TransportTiming timing = {});
    [[nodiscard]] const TransportTiming& timing() const { return timing_; }
    // Cancels the registrations, so no callback reaches a transport that is gone.
    ~Transport() override;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Starts the service, registers the consumer and control reads and hands the present count
    // to the listener as its first presence report. False when the service cannot start; the
    // program then ends quietly. Set the trace, if any, before loading.
    [[nodiscard]] bool Load(TransportListener* listener);

    // One report out, its reply back: three attempts of at most replyWait each. Exchanges from
    // several threads are served one after the other.
    [[nodiscard]] int Exchange(Bytes request, MutableBytes reply,
                               std::size_t& receivedLength) override;

    [[nodiscard]] int DeviceCount();

    // The key bank indicator: byte 1 bit 0 is the bank (clear = A, set = B).
    [[nodiscard]] LedReportBytes LedReport() const;
    void SetLedReport(LedReportBytes report);
    void WriteLedReport();

    void SetTrace(TraceFunction trace) { trace_ = std::move(trace); }

    int ServiceCallback(const ServiceEvent& event) override;

private:
    void Register(const DeviceSelector& selector, std::uint32_t tag, std::uint32_t& idSlot);
    void Trace(TraceDirection direction, std::uint32_t tag, Bytes report) const;
    void DeliverReply(const ServiceEvent& event);

    HidService& service_;
    const TransportTiming timing_;
    const std::uint32_t deviceCountCheckValue_;
    TraceFunction trace_;
    std::atomic<TransportListener*> listener_{nullptr};

    // Held for the whole of each Exchange: one exchange owns the reply slot at a time.
    std::mutex exchangeMutex_;

    // The reply slot, shared with the service thread.
    std::mutex slotMutex_;
    std::condition_variable replyArrived_;
    bool inFlight_ = false;
    bool replied_ = false;
    bool corrupt_ = false;   // the awaited reply came damaged
    ReportBytes awaited_{};  // the request whose reply the slot takes
    MutableBytes replyBuffer_;
    std::size_t receivedLength_ = 0;

    std::mutex registrationMutex_;
    std::uint32_t controlReadId_ = 0;
    std::uint32_t consumerReadId_ = 0;

    // The bank toggle writes the LED report from the service thread.
    mutable std::mutex ledMutex_;
    std::uint32_t ledWriteId_ = 0;
    LedReportBytes ledReport_ = kInitialLedReport;
};

}  // namespace qv::device
