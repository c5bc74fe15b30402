// A stand-in hidapi.dll that simulates cooler displays, so the program can be run and tested without hardware.
//
// DISPLAYSIM_DEVICES names a device list file, read again at every enumeration and open, so a test can plug and
// unplug displays by rewriting it. One display per line, key=value pairs separated by spaces:
//   path=sim-tavo model=1 firmware=0x0102 faults=bad-first-read
// Keys: path, model (1 or 2, sets vendor and product), vendor, product, page, usage (hex), firmware (number),
// faults (comma list of reject-send, bad-first-read, bad-reads, fail-read, unopenable). '#' starts a comment.
// DISPLAYSIM_LOG names a file that gets one line per report: "<unix ms> <path> send|get <length> <hex bytes>".
#include <hidapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct SimulatedDisplay {
    std::string path;
    unsigned vendor = 0x1A2C;
    unsigned product = 0x4C84;
    unsigned usagePage = 0xFF01;
    unsigned usage = 0x0001;
    unsigned firmware = 0x0100;
    std::set<std::string> faults;

    bool Has(const char* fault) const { return faults.count(fault) != 0; }
};

std::mutex g_lock;

unsigned ParseNumber(const std::string& text, int base) {
    return std::strtoul(text.c_str(), nullptr, base);
}

std::vector<SimulatedDisplay> ReadDevices() {
    std::vector<SimulatedDisplay> devices;
    const char* file = std::getenv("DISPLAYSIM_DEVICES");
    if (file == nullptr)
        return devices;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word;
        SimulatedDisplay display;
        bool any = false;
        while (words >> word) {
            const auto eq = word.find('=');
            if (eq == std::string::npos)
                continue;
            const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
            any = true;
            if (key == "path") {
                display.path = value;
            } else if (key == "model") {
                display.product = value == "2" ? 0x4D84 : 0x4C84;
            } else if (key == "vendor") {
                display.vendor = ParseNumber(value, 16);
            } else if (key == "product") {
                display.product = ParseNumber(value, 16);
            } else if (key == "page") {
                display.usagePage = ParseNumber(value, 16);
            } else if (key == "usage") {
                display.usage = ParseNumber(value, 16);
            } else if (key == "firmware") {
                display.firmware = ParseNumber(value, 0);
            } else if (key == "faults") {
                std::istringstream list(value);
                std::string fault;
                while (std::getline(list, fault, ','))
                    display.faults.insert(fault);
            }
        }
        if (!any)
            continue;
        if (display.path.empty())
            display.path = "sim-display-" + std::to_string(devices.size() + 1);
        devices.push_back(display);
    }
    return devices;
}

void Log(const std::string& path, const char* kind, const unsigned char* data, size_t length) {
    const char* file = std::getenv("DISPLAYSIM_LOG");
    if (file == nullptr)
        return;
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    std::string line = std::to_string(now) + " " + path + " " + kind + " " + std::to_string(length) + " ";
    char hex[3];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", data[i]);
        line += hex;
    }
    line += "\n";
    if (FILE* out = std::fopen(file, "ab")) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fclose(out);
    }
}

wchar_t* EmptyWide() {
    return static_cast<wchar_t*>(std::calloc(1, sizeof(wchar_t)));
}

} // namespace

struct hid_device_ {
    SimulatedDisplay display;
    bool versionAsked = false;
    int readsSinceRequest = 0;
};

extern "C" {

int HID_API_EXPORT hid_init(void) {
    return 0;
}
int HID_API_EXPORT hid_exit(void) {
    return 0;
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
    std::lock_guard guard(g_lock);
    hid_device_info* head = nullptr;
    hid_device_info** tail = &head;
    for (const SimulatedDisplay& display : ReadDevices()) {
        if ((vendor_id != 0 && vendor_id != display.vendor) || (product_id != 0 && product_id != display.product))
            continue;
        auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
        info->path = strdup(display.path.c_str());
        info->vendor_id = static_cast<unsigned short>(display.vendor);
        info->product_id = static_cast<unsigned short>(display.product);
        info->serial_number = EmptyWide();
        info->manufacturer_string = EmptyWide();
        info->product_string = EmptyWide();
        info->usage_page = static_cast<unsigned short>(display.usagePage);
        info->usage = static_cast<unsigned short>(display.usage);
        info->interface_number = -1;
        info->bus_type = HID_API_BUS_USB;
        *tail = info;
        tail = &info->next;
    }
    return head;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs) {
    while (devs != nullptr) {
        hid_device_info* next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path) {
    std::lock_guard guard(g_lock);
    if (path == nullptr)
        return nullptr;
    for (const SimulatedDisplay& display : ReadDevices()) {
        if (display.path == path && !display.Has("unopenable"))
            return new hid_device_{display};
    }
    return nullptr;
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open(unsigned short, unsigned short, const wchar_t*) {
    return nullptr;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev) {
    delete dev;
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device* dev, const unsigned char* data, size_t length) {
    if (dev == nullptr || data == nullptr || length == 0)
        return -1;
    std::lock_guard guard(g_lock);
    if (dev->display.Has("reject-send")) {
        Log(dev->display.path, "send-rejected", data, length);
        return -1;
    }
    Log(dev->display.path, "send", data, length);
    if (length >= 2 && data[0] == 0x07 && data[1] == 0xFD) {
        dev->versionAsked = true;
        dev->readsSinceRequest = 0;
    }
    return static_cast<int>(length);
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
    if (dev == nullptr || data == nullptr || length < 3)
        return -1;
    std::lock_guard guard(g_lock);
    if (dev->display.Has("fail-read")) {
        Log(dev->display.path, "get-failed", data, 0);
        return -1;
    }
    const bool wrongId =
        dev->display.Has("bad-reads") || (dev->display.Has("bad-first-read") && dev->readsSinceRequest == 0);
    ++dev->readsSinceRequest;
    std::memset(data + 1, 0, length - 1);
    data[0] = wrongId ? 0x00 : data[0];
    data[1] = static_cast<unsigned char>(dev->display.firmware >> 8);
    data[2] = static_cast<unsigned char>(dev->display.firmware & 0xFF);
    Log(dev->display.path, "get", data, length);
    return static_cast<int>(length);
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device*, const unsigned char*, size_t) {
    return -1;
}
int HID_API_EXPORT HID_API_CALL hid_read(hid_device*, unsigned char*, size_t) {
    return -1;
}
int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device*, unsigned char*, size_t, int) {
    return -1;
}
int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device*, int) {
    return 0;
}
HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device*) {
    return L"simulated display";
}

} // extern "C"
