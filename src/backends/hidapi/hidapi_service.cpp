#include "backends/hidapi/hidapi_service.h"

#include <hidapi.h>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "backends/hidapi/hid_collections.h"
#include "backends/hidapi/make_hidapi_service.h"
#include "backends/hidapi/registration_table.h"

namespace qv::device {

namespace {

// Long enough that a reader wakes only a few times a second to look at its stop flag, short
// enough that closing a node or destroying the service is not noticeably delayed.
constexpr int kReadTimeoutMs = 200;
// A burst of hot-plug events is over after this long without another; a device that keeps
// producing events is dealt with after at most kSettleMaxRounds waits.
constexpr int kSettleQuietMs = 100;
constexpr int kSettleMaxRounds = 10;
// Larger than any report of the keyboard, so a report is never cut.
constexpr std::size_t kReadBufferSize = 256;
// The kernel's limit for a report descriptor.
constexpr std::size_t kMaxDescriptorSize = 4096;

// hid_init and hid_exit act on the whole process, and several services may exist at once.
std::mutex gHidapiMutex;
int gHidapiUsers = 0;

bool AcquireHidapi() {
    std::lock_guard lock(gHidapiMutex);
    if (gHidapiUsers == 0 && hid_init() != 0) {
        return false;
    }
    ++gHidapiUsers;
    return true;
}

void ReleaseHidapi() {
    std::lock_guard lock(gHidapiMutex);
    if (--gHidapiUsers == 0) {
        hid_exit();
    }
}

std::optional<std::vector<std::uint8_t>> ReadReportDescriptor(const std::string& nodePath) {
    const std::optional<std::string> file = ReportDescriptorPath(nodePath);
    if (!file) {
        return std::nullopt;
    }
    std::ifstream in(*file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(kMaxDescriptorSize);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

std::vector<CollectionRecord> EnumerateKeyboard() {
    std::vector<CollectionRecord> enumerated;
    hid_device_info* list = hid_enumerate(kVendorId, kProductId);
    for (const hid_device_info* info = list; info != nullptr; info = info->next) {
        if (info->path == nullptr) {
            continue;
        }
        CollectionRecord record;
        record.path = info->path;
        record.vendorId = info->vendor_id;
        record.productId = info->product_id;
        record.usagePage = info->usage_page;
        record.usage = info->usage;
        record.interfaceNumber = info->interface_number;
        enumerated.push_back(std::move(record));
    }
    hid_free_enumeration(list);
    return ExpandCollections(enumerated, ReadReportDescriptor);
}

void CloseHandle(hid_device*& handle) {
    if (handle != nullptr) {
        hid_close(handle);
        handle = nullptr;
    }
}

}  // namespace

// An opened hidraw node. Writes and reads use separate handles: hidapi keeps per-handle error
// state that a read and a write on one handle would race on, and each open hidraw handle gets
// its own copy of every input report.
struct Node {
    struct Reader {
        std::size_t collection = 0;  // index into plan.collections
        hid_device* handle = nullptr;
        std::thread thread;
    };

    NodePlan plan;
    std::mutex writeMutex;
    hid_device* writer = nullptr;  // guarded by writeMutex
    std::vector<Reader> readers;
    std::atomic<bool> stop{false};
    // A reader hit a read error; the node is reopened at the next hot-plug event.
    std::atomic<bool> failed{false};
};

struct HidapiService::State {
    RegistrationTable registrations;

    std::mutex initMutex;
    bool initialised = false;  // guarded by initMutex

    // Serialises re-enumeration; held by Init's first pass and then by the monitor thread.
    std::mutex syncMutex;

    std::mutex mutex;
    std::vector<std::shared_ptr<Node>> nodes;   // guarded by mutex
    std::vector<CollectionRecord> openRecords;  // collections on open nodes; guarded by mutex

    udev* udevContext = nullptr;
    udev_monitor* monitor = nullptr;
    int wakeFd = -1;
    std::atomic<bool> stopping{false};
    std::thread monitorThread;

    ~State();

    void StartMonitor();
    void MonitorLoop();
    bool ReceiveEvents(std::set<std::string>& removed);
    void SettleBurst(std::set<std::string>& removed);
    void Sync(const std::set<std::string>& removedPaths, bool notify);
    std::shared_ptr<Node> OpenNode(const NodePlan& plan);
    void ReadLoop(const std::shared_ptr<Node>& node, std::size_t readerIndex);
    void StopNode(Node& node);
    std::shared_ptr<Node> NodeFor(const DeviceSelector& selector);
    int WriteTo(const DeviceSelector& selector, Bytes report);
};

HidapiService::State::~State() {
    stopping = true;
    if (wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(wakeFd, &one, sizeof one);
    }
    if (monitorThread.joinable()) {
        monitorThread.join();
    }
    std::vector<std::shared_ptr<Node>> closing;
    {
        std::lock_guard lock(mutex);
        closing.swap(nodes);
        openRecords.clear();
    }
    for (const auto& node : closing) {
        StopNode(*node);
    }
    if (monitor != nullptr) {
        udev_monitor_unref(monitor);
    }
    if (udevContext != nullptr) {
        udev_unref(udevContext);
    }
    if (wakeFd >= 0) {
        close(wakeFd);
    }
    if (initialised) {
        ReleaseHidapi();
    }
}

void HidapiService::State::StartMonitor() {
    // Without udev the service still works; it only misses arrivals and removals.
    udevContext = udev_new();
    if (udevContext == nullptr) {
        return;
    }
    // "udev" rather than "kernel": the event comes after the rules have run, so the node already
    // carries the permissions the installed rule grants.
    monitor = udev_monitor_new_from_netlink(udevContext, "udev");
    if (monitor == nullptr) {
        return;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        monitor = nullptr;
        return;
    }
    wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

void HidapiService::State::MonitorLoop() {
    const int monitorFd = udev_monitor_get_fd(monitor);
    while (!stopping) {
        std::array<pollfd, 2> fds{{{monitorFd, POLLIN, 0}, {wakeFd, POLLIN, 0}}};
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (stopping) {
            return;
        }
        if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) == 0) {
            continue;
        }
        std::set<std::string> removed;
        if (ReceiveEvents(removed)) {
            SettleBurst(removed);
            if (stopping) {
                return;
            }
            Sync(removed, /*notify=*/true);
        }
    }
}

bool HidapiService::State::ReceiveEvents(std::set<std::string>& removed) {
    bool any = false;
    while (udev_device* device = udev_monitor_receive_device(monitor)) {
        any = true;
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action != nullptr && node != nullptr && std::string_view(action) == "remove") {
            removed.insert(node);
        }
        udev_device_unref(device);
    }
    return any;
}

// The keyboard's interfaces arrive (and leave) as separate events a few milliseconds apart;
// gathering them first means one re-enumeration and one count change instead of a count that
// shows the keyboard while some of its collections are still missing.
void HidapiService::State::SettleBurst(std::set<std::string>& removed) {
    const int monitorFd = udev_monitor_get_fd(monitor);
    for (int round = 0; round < kSettleMaxRounds && !stopping; ++round) {
        std::array<pollfd, 2> fds{{{monitorFd, POLLIN, 0}, {wakeFd, POLLIN, 0}}};
        const int ready = poll(fds.data(), fds.size(), kSettleQuietMs);
        if (ready == 0 || (ready < 0 && errno != EINTR)) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0 && !ReceiveEvents(removed)) {
            return;
        }
    }
}

void HidapiService::State::Sync(const std::set<std::string>& removedPaths, bool notify) {
    std::lock_guard syncLock(syncMutex);
    const std::vector<NodePlan> plans = PlanNodes(EnumerateKeyboard());

    std::vector<std::shared_ptr<Node>> current;
    {
        std::lock_guard lock(mutex);
        current = nodes;
    }

    // A removed path is closed even when a node of that name is back already: it is another
    // device now, and the old handles are dead.
    std::vector<std::shared_ptr<Node>> keep;
    std::vector<std::shared_ptr<Node>> closing;
    for (const auto& node : current) {
        const bool planned = std::find(plans.begin(), plans.end(), node->plan) != plans.end();
        if (planned && !node->failed && !removedPaths.contains(node->plan.path)) {
            keep.push_back(node);
        } else {
            closing.push_back(node);
        }
    }
    for (const NodePlan& plan : plans) {
        const bool open = std::any_of(keep.begin(), keep.end(),
                                      [&](const auto& node) { return node->plan == plan; });
        if (!open) {
            if (auto node = OpenNode(plan)) {
                keep.push_back(std::move(node));
            }
        }
    }

    std::vector<CollectionRecord> records;
    for (const auto& node : keep) {
        records.insert(records.end(), node->plan.collections.begin(), node->plan.collections.end());
    }
    std::vector<CollectionRecord> before;
    {
        std::lock_guard lock(mutex);
        nodes = keep;
        before = std::exchange(openRecords, records);
    }
    for (const auto& node : closing) {
        StopNode(*node);
    }

    if (notify) {
        registrations.Deliver([&](const RegistrationTable::Registration& registration)
                                  -> std::optional<ServiceEvent> {
            const int was = CountMatching(registration.selector, before);
            const int now = CountMatching(registration.selector, records);
            if (was == now) {
                return std::nullopt;
            }
            ServiceEvent event;
            event.kind = ServiceEventKind::DeviceCountChanged;
            event.value = static_cast<std::uint32_t>(now);
            return event;
        });
    }
}

std::shared_ptr<Node> HidapiService::State::OpenNode(const NodePlan& plan) {
    auto node = std::make_shared<Node>();
    node->plan = plan;
    node->writer = hid_open_path(plan.path.c_str());
    if (node->writer == nullptr) {
        return nullptr;
    }
    for (const std::size_t collection : plan.readCollections) {
        hid_device* handle = hid_open_path(plan.path.c_str());
        if (handle == nullptr) {
            StopNode(*node);
            return nullptr;
        }
        Node::Reader& reader = node->readers.emplace_back();
        reader.collection = collection;
        reader.handle = handle;
    }
    for (std::size_t i = 0; i < node->readers.size(); ++i) {
        node->readers[i].thread = std::thread([this, node, i] { ReadLoop(node, i); });
    }
    return node;
}

void HidapiService::State::ReadLoop(const std::shared_ptr<Node>& node, std::size_t readerIndex) {
    hid_device* handle = node->readers[readerIndex].handle;
    const std::size_t own = node->readers[readerIndex].collection;
    const CollectionRecord& collection = node->plan.collections[own];
    std::array<std::uint8_t, kReadBufferSize> buffer{};
    while (!node->stop) {
        const int read = hid_read_timeout(handle, buffer.data(), buffer.size(), kReadTimeoutMs);
        if (read < 0) {
            node->failed = true;
            return;
        }
        if (read == 0) {
            continue;
        }
        const Bytes report(buffer.data(), static_cast<std::size_t>(read));
        const std::vector<std::size_t> targets = RouteInputReport(node->plan.collections, report);
        if (std::find(targets.begin(), targets.end(), own) == targets.end()) {
            continue;
        }
        const Bytes delivered = ReportForRegistrations(collection, report);
        registrations.Deliver([&](const RegistrationTable::Registration& registration)
                                  -> std::optional<ServiceEvent> {
            if (!SelectorMatches(registration.selector, collection)) {
                return std::nullopt;
            }
            ServiceEvent event;
            event.kind = ServiceEventKind::DataArrived;
            event.value = static_cast<std::uint32_t>(delivered.size());
            event.data = delivered;
            return event;
        });
    }
}

void HidapiService::State::StopNode(Node& node) {
    node.stop = true;
    for (Node::Reader& reader : node.readers) {
        if (reader.thread.joinable()) {
            reader.thread.join();
        }
        CloseHandle(reader.handle);
    }
    std::lock_guard lock(node.writeMutex);
    CloseHandle(node.writer);
}

std::shared_ptr<Node> HidapiService::State::NodeFor(const DeviceSelector& selector) {
    std::lock_guard lock(mutex);
    for (const auto& node : nodes) {
        const auto& collections = node->plan.collections;
        if (std::any_of(collections.begin(), collections.end(),
                        [&](const auto& c) { return SelectorMatches(selector, c); })) {
            return node;
        }
    }
    return nullptr;
}

int HidapiService::State::WriteTo(const DeviceSelector& selector, Bytes report) {
    if (report.empty()) {
        return 0;
    }
    const std::shared_ptr<Node> node = NodeFor(selector);
    if (!node) {
        return 0;
    }
    std::lock_guard lock(node->writeMutex);
    if (node->writer == nullptr) {
        return 0;
    }
    return hid_write(node->writer, report.data(), report.size()) > 0 ? 1 : 0;
}

HidapiService::HidapiService() : state_(std::make_unique<State>()) {}

HidapiService::~HidapiService() = default;

int HidapiService::Init(std::uint32_t /*flags*/) {
    std::lock_guard lock(state_->initMutex);
    if (state_->initialised) {
        return 1;
    }
    if (!AcquireHidapi()) {
        return 0;
    }
    state_->initialised = true;
    // The monitor listens before the first enumeration, so a keyboard plugged in between is
    // not missed; its event waits in the socket until the monitor thread runs.
    state_->StartMonitor();
    // The state found at start is not a change: callers count after Init.
    state_->Sync({}, /*notify=*/false);
    if (state_->monitor != nullptr && state_->wakeFd >= 0) {
        state_->monitorThread = std::thread([state = state_.get()] { state->MonitorLoop(); });
    }
    return 1;
}

int HidapiService::RequestGetDeviceCount(const DeviceSelector& selector, std::uint32_t /*arg1*/,
                                         std::uint32_t /*arg2*/, std::uint32_t checkValue,
                                         std::uint32_t /*arg3*/) {
    if (checkValue != CheckValueForDeviceCount(selector)) {
        return 0;
    }
    std::lock_guard lock(state_->mutex);
    return CountMatching(selector, state_->openRecords);
}

int HidapiService::RequestWriteOne(const DeviceSelector& selector, std::uint32_t /*arg1*/,
                                   std::uint32_t /*arg2*/, Bytes report, std::uint32_t checkValue,
                                   std::uint32_t /*arg3*/) {
    if (checkValue != CheckValueForWriteOne(selector, report)) {
        return 0;
    }
    return state_->WriteTo(selector, report);
}

int HidapiService::RequestAsyncRead(const DeviceSelector& selector, ServiceCallbackTarget* callback,
                                    std::uint32_t tag, std::uint32_t checkValue,
                                    std::uint32_t* idSlot) {
    if (callback == nullptr || checkValue != CheckValueForAsyncRead(selector, callback, tag)) {
        return 0;
    }
    RegistrationTable::Registration registration;
    registration.selector = selector;
    registration.callback = callback;
    registration.tag = tag;
    const std::uint32_t id = state_->registrations.Add(registration);
    if (idSlot != nullptr) {
        *idSlot = id;
    }
    return 1;
}

int HidapiService::RequestStatusWrite(const DeviceSelector& selector,
                                      ServiceCallbackTarget* callback, std::uint32_t tag,
                                      Bytes data, std::uint32_t checkValue, std::uint32_t* idSlot) {
    if (checkValue != CheckValueForStatusWrite(selector, callback, tag, data)) {
        return 0;
    }
    // A status write raises no events, so there is nothing to keep under its id; a later
    // delete of it is then a no-op, as for any finished request.
    if (idSlot != nullptr) {
        *idSlot = state_->registrations.NewId();
    }
    return state_->WriteTo(selector, data);
}

int HidapiService::DeleteRequestFromUnitId(std::uint32_t id) {
    state_->registrations.Remove(id);
    return 1;
}

std::unique_ptr<HidService> MakeHidapiService() {
    return std::make_unique<HidapiService>();
}

}  // namespace qv::device
