// The Windows port list: the registry's ports described by the device
// manager's entries, where it has one.
#include <gtest/gtest.h>

#include "comm/port_devices.h"

namespace fw {
namespace {

SerialPortInfo port(const std::string& name) { return SerialPortInfo{name, "\\Device\\Serial" + name, kPortSerial}; }

TEST(PortDevices, EveryRegistryPortInNumberOrderDescribedByItsDevice) {
    const std::vector<DescribedPort> list = mergePortDevices(
        {port("COM10"), port("COM3"), port("COM2"), port("CNCA0")},
        {
            {"com3", "USB Serial Port (COM3)", "FTDI", "USB Serial Port"},
            {"COM2", "", "Microsoft", "Communications Port"},
            // No such port in the registry: not listed.
            {"COM7", "Bluetooth Link (COM7)", "Microsoft", ""},
            {"COM10", "Prolific USB-to-Serial Comm Port (COM10)", "Prolific", ""},
        });
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].info.portName, "CNCA0");
    EXPECT_EQ(list[0].description, "");
    EXPECT_EQ(list[1].info.portName, "COM2");
    EXPECT_EQ(list[1].description, "Communications Port (Microsoft)");
    EXPECT_EQ(list[2].info.portName, "COM3");
    EXPECT_EQ(list[2].description, "USB Serial Port (FTDI)");
    EXPECT_EQ(list[2].info.valueName, "\\Device\\SerialCOM3");
    EXPECT_EQ(list[3].info.portName, "COM10");
    // The maker already in the name is not said twice.
    EXPECT_EQ(list[3].description, "Prolific USB-to-Serial Comm Port");
}

TEST(PortDevices, WithoutDevicesTheRegistryListStandsAlone) {
    // Under Wine, or with SetupAPI failing: the ports, undescribed.
    const std::vector<DescribedPort> list = mergePortDevices({port("COM6"), port("COM5")}, {});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].info.portName, "COM5");
    EXPECT_EQ(list[1].description, "");
    // A name that is its port alone, or only the maker.
    EXPECT_EQ(mergePortDevices({port("COM4")}, {{"COM4", "(COM4)", "Acme", ""}})[0].description, "Acme");
    EXPECT_EQ(mergePortDevices({port("COM4")}, {{"COM4", "COM4", "", ""}})[0].description, "COM4");
}

TEST(PortDevices, AListShowsThePortThenWhatDescribesIt) {
    EXPECT_EQ(portListText({port("COM3"), "USB Serial Port (FTDI)"}), "COM3 - USB Serial Port (FTDI)");
    EXPECT_EQ(portListText({port("COM12"), ""}), "COM12");
    // A device named after its port alone says nothing new.
    EXPECT_EQ(portListText({port("COM4"), "com4"}), "COM4");
}

}  // namespace
}  // namespace fw
