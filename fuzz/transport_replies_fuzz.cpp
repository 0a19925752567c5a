// Arbitrary bytes from the service thread: replies of any length and content, key events and
// device counts, fed to the transport and the command layer while they run a few reads.
//
// Input: a sequence of records, each [kind byte][length byte][length bytes]. Kind 0..1 is a
// reply to the next request (1 = misnumbered by the service), 2 a consumer report, 3 a device
// count, anything else no answer (the attempt times out).

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/commands.h"
#include "device/transport.h"

namespace {

using namespace qv::device;

class ScriptedService final : public HidService {
public:
    explicit ScriptedService(qv::Bytes script) : script_(script) {}

    int Init(std::uint32_t) override { return 1; }
    int RequestGetDeviceCount(const DeviceSelector&, std::uint32_t, std::uint32_t, std::uint32_t,
                              std::uint32_t) override {
        return 1;
    }
    int RequestWriteOne(const DeviceSelector&, std::uint32_t, std::uint32_t, qv::Bytes report,
                        std::uint32_t, std::uint32_t) override {
        // Answer from the script, on the caller's thread: the transport must cope with a reply
        // that arrives before the send call has even returned.
        while (position_ + 2 <= script_.size()) {
            const std::uint8_t kind = script_[position_];
            const std::size_t length =
                std::min<std::size_t>(script_[position_ + 1], script_.size() - position_ - 2);
            std::vector<std::uint8_t> data(script_.begin() + position_ + 2,
                                           script_.begin() + position_ + 2 + length);
            position_ += 2 + length;
            ServiceEvent event{ServiceEventKind::DataArrived, TAG_CTRL,
                               static_cast<std::uint32_t>(data.size()), data};
            switch (kind % 5) {
                case 0:
                case 1:
                    if (kind % 5 == 1 && data.size() > 3) {
                        data[3] = static_cast<std::uint8_t>(report[3] + 1);
                    }
                    target_->ServiceCallback(event);
                    return 1;
                case 2:
                    event.tag = TAG_CONS;
                    target_->ServiceCallback(event);
                    break;
                case 3:
                    event.kind = ServiceEventKind::DeviceCountChanged;
                    event.value = data.empty() ? 0 : data[0];
                    target_->ServiceCallback(event);
                    break;
                default:
                    return 1;
            }
        }
        return 1;
    }
    int RequestAsyncRead(const DeviceSelector&, ServiceCallbackTarget* callback, std::uint32_t,
                         std::uint32_t, std::uint32_t* idSlot) override {
        target_ = callback;
        *idSlot = 1;
        return 1;
    }
    int RequestStatusWrite(const DeviceSelector&, ServiceCallbackTarget*, std::uint32_t, qv::Bytes,
                           std::uint32_t, std::uint32_t*) override {
        return 1;
    }
    int DeleteRequestFromUnitId(std::uint32_t) override { return 1; }

private:
    qv::Bytes script_;
    std::size_t position_ = 0;
    ServiceCallbackTarget* target_ = nullptr;
};

class NullListener final : public TransportListener {
public:
    void OnPresenceReport(int) override {}
    void OnKeyEvent(std::uint16_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScriptedService service(qv::Bytes(data, size));
    NullListener listener;
    Transport transport(service, TransportTiming{.replyWait = std::chrono::milliseconds(0),
                                                 .retryPause = std::chrono::milliseconds(0)});
    if (!transport.Load(&listener)) {
        return 0;
    }
    DeviceCommands commands(transport);
    std::array<std::uint8_t, kSettingsBlockSize> settings{};
    std::array<std::uint8_t, kKeyPageSize> page{};
    std::array<std::uint8_t, kPayloadSize> lighting{};
    std::vector<std::uint8_t> macros(150);
    (void)commands.ReadSettings(settings);
    (void)commands.ReadKeyPage(page, 1);
    (void)commands.ReadLighting(lighting, 56, 64);
    (void)commands.ReadMacros(macros);
    (void)commands.ReadKeyDefaults(page);
    std::array<std::uint8_t, 3> tiny{};
    std::size_t received = 0;
    (void)transport.Exchange(DeviceReport::Request(CMD_READ_SETTINGS, 44, 0).bytes(), tiny,
                             received);
    return 0;
}
