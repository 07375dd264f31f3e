#include "comm/win/port_devices_win.h"

#include <windows.h>
#include <setupapi.h>
#include <devguid.h>

#include "texts/code_page.h"

namespace fw {

namespace {

std::string deviceText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr) ||
        type != REG_SZ) {
        return {};
    }
    return utf8FromUtf16(reinterpret_cast<const char16_t*>(buffer));
}

std::string portNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return {};
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const LONG r = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ) return {};
    return utf8FromUtf16(reinterpret_cast<const char16_t*>(name));
}

}  // namespace

std::vector<PortDevice> portDevices() {
    std::vector<PortDevice> devices;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return devices;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        PortDevice d;
        d.portName = portNameOf(set, device);
        if (d.portName.empty()) continue;
        d.friendlyName = deviceText(set, device, SPDRP_FRIENDLYNAME);
        d.maker = deviceText(set, device, SPDRP_MFG);
        d.product = deviceText(set, device, SPDRP_DEVICEDESC);
        devices.push_back(std::move(d));
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

}  // namespace fw
