#include <gtest/gtest.h>
#include <hidapi.h>

#include <array>
#include <cstdint>

#include "backends/hidapi/hidapi_service.h"
#include "backends/hidapi/make_hidapi_service.h"

// These pin down what the service does with no device and that it refuses calls whose check
// value is wrong. They also run where a keyboard is attached: the case that needs none steps
// aside there, since its reports would reach the keyboard.

namespace qv::device {
namespace {

struct Receiver final : ServiceCallbackTarget {
    int ServiceCallback(const ServiceEvent&) override { return 1; }
};

int Count(HidService& service, const DeviceSelector& selector) {
    return service.RequestGetDeviceCount(selector, 0, 0, CheckValueForDeviceCount(selector), 0);
}

// Asked of the HID layer itself, not of the service under test; some service must have started
// the layer first, since the services own its start and end.
bool KeyboardAttached() {
    hid_device_info* list = hid_enumerate(kVendorId, kProductId);
    const bool attached = list != nullptr;
    hid_free_enumeration(list);
    return attached;
}

std::array<std::uint8_t, 64> CommandReport() {
    std::array<std::uint8_t, 64> report{};
    report[0] = 0x04;
    report[3] = 0x01;
    return report;
}

TEST(HidapiServiceTest, WithoutKeyboardNothingIsPresentAndNothingIsSent) {
    std::unique_ptr<HidService> service = MakeHidapiService();
    ASSERT_NE(service, nullptr);
    // Before Init the service knows of no device, attached or not.
    EXPECT_EQ(Count(*service, kControlSelector), 0);
    ASSERT_GT(service->Init(0), 0);
    EXPECT_GT(service->Init(0), 0);  // a second Init is harmless
    if (KeyboardAttached()) {
        GTEST_SKIP() << "a keyboard is attached";
    }

    for (const DeviceSelector& selector : {kControlSelector, kConsumerSelector, kLedSelector}) {
        EXPECT_EQ(Count(*service, selector), 0);
    }
    const auto report = CommandReport();
    EXPECT_EQ(service->RequestWriteOne(kControlSelector, 0, 0, report,
                                       CheckValueForWriteOne(kControlSelector, report), 0),
              0);

    Receiver receiver;
    const std::array<std::uint8_t, 2> led{0x05, 0x02};
    std::uint32_t ledId = 0;
    EXPECT_EQ(service->RequestStatusWrite(
                  kLedSelector, &receiver, TAG_LED, led,
                  CheckValueForStatusWrite(kLedSelector, &receiver, TAG_LED, led), &ledId),
              0);
    // The request still gets an id the caller can cancel later.
    EXPECT_NE(ledId, 0u);
    EXPECT_EQ(service->DeleteRequestFromUnitId(ledId), 1);
}

TEST(HidapiServiceTest, WrongCheckValueRegistersNothing) {
    HidapiService service;
    ASSERT_GT(service.Init(0), 0);
    Receiver receiver;
    const std::array<std::uint8_t, 2> led{0x05, 0x02};

    std::uint32_t readId = 0xAAAA;
    const std::uint32_t readCheck = CheckValueForAsyncRead(kControlSelector, &receiver, TAG_CTRL);
    EXPECT_EQ(
        service.RequestAsyncRead(kControlSelector, &receiver, TAG_CTRL, readCheck + 1, &readId), 0);
    // The check covers the tag and the callback too, not only the selector.
    EXPECT_EQ(service.RequestAsyncRead(kControlSelector, &receiver, TAG_CONS, readCheck, &readId),
              0);
    EXPECT_EQ(readId, 0xAAAAu);

    std::uint32_t ledId = 0xBBBB;
    const std::uint32_t ledCheck = CheckValueForStatusWrite(kLedSelector, &receiver, TAG_LED, led);
    EXPECT_EQ(
        service.RequestStatusWrite(kLedSelector, &receiver, TAG_LED, led, ledCheck - 1, &ledId), 0);
    EXPECT_EQ(ledId, 0xBBBBu);

    EXPECT_EQ(service.RequestAsyncRead(kControlSelector, &receiver, TAG_CTRL, readCheck, &readId),
              1);
    EXPECT_NE(readId, 0xAAAAu);
    EXPECT_NE(readId, 0u);
    EXPECT_EQ(service.DeleteRequestFromUnitId(readId), 1);
}

TEST(HidapiServiceTest, SeveralServicesShareTheHidLayer) {
    // hid_init and hid_exit are process-wide: ending one service must leave the other working.
    auto first = std::make_unique<HidapiService>();
    HidapiService second;
    ASSERT_GT(first->Init(0), 0);
    ASSERT_GT(second.Init(0), 0);
    const int present = Count(second, kControlSelector);
    first.reset();
    EXPECT_EQ(Count(second, kControlSelector), present);
}

}  // namespace
}  // namespace qv::device
