// The driver configuration file and the line timing, as plain code.
#include "DevConfig.h"
#include "LineTiming.h"
#include "zr464_build.h"

#include <gtest/gtest.h>

#include "SerialSupport.h"

using namespace zrbus;

TEST(DriverConfig, ReadsTheFourKindsOfLineAndSkipsGarbage) {
    const auto c = DriverConfig::parse("# driver lines\n"
                                       "COM1 = /dev/pts/7\n"
                                       "  com 12=/dev/ttyUSB3   # trailing comment\n"
                                       "KC-683 300h = /dev/ttyS4\n"
                                       "kc-683 0x310 = /dev/ttyS6\n"
                                       "KC-683 760 = /dev/ttyS7\n"
                                       "KC-1683 = /dev/ttyS5\n"
                                       "KU-1683 = /dev/ttyUSB0\r\n"
                                       "this is not a line\n"
                                       "COM0 = /dev/ttyS9\n"
                                       "COM256 = /dev/ttyS9\n"
                                       "COMX = /dev/ttyS9\n"
                                       "KC-683 = /dev/ttyS9\n"
                                       "KC-683 12g = /dev/ttyS9\n"
                                       "COM2 =\n"
                                       "= /dev/ttyS9\n"
                                       "\xff\xfe\x01 = \x02\n",
                                       "/etc");
    EXPECT_EQ(c.device("COM1"), "/dev/pts/7");
    EXPECT_EQ(c.device("COM12"), "/dev/ttyUSB3");
    EXPECT_EQ(c.device(isaKey(0x300)), "/dev/ttyS4");
    EXPECT_EQ(c.device(isaKey(0x310)), "/dev/ttyS6");
    EXPECT_EQ(c.device(isaKey(0x2F8)), "/dev/ttyS7");
    EXPECT_EQ(c.device(pciKey()), "/dev/ttyS5");
    EXPECT_EQ(c.device(usbKey()), "/dev/ttyUSB0");
    EXPECT_FALSE(c.device("COM2"));
    EXPECT_FALSE(c.device("COM0"));
    EXPECT_EQ(c.skippedLines(), (std::vector<int>{9, 10, 11, 12, 13, 14, 15, 16, 17}));
}

TEST(DriverConfig, RelativePathsLieBesideTheFileAndTheLaterLineCounts) {
    const auto c = DriverConfig::parse("COM1 = zr464-com1\nCOM1 = other\nCOM2 = /abs\n", "/opt/x");
    EXPECT_EQ(c.device("COM1"), "/opt/x/other");
    EXPECT_EQ(c.device("COM2"), "/abs");
}

TEST(DriverConfig, AMissingFileIsAnEmptyConfiguration) {
    sertest::TempDir dir;
    EXPECT_FALSE(DriverConfig::load(dir.file("none.conf")).device("COM1"));
    dir.write("a.conf", "COM3 = line\n");
    EXPECT_EQ(DriverConfig::load(dir.file("a.conf")).device("COM3"), dir.file("line"));
}

TEST(DriverConfig, BesideTheLibraryUnlessInstalled) {
    const std::string etc = std::string(ZR464_SYSCONFDIR) + "/" + kDriverConfigName;
    const std::string installed = std::string("/usr/") + ZR464_PRIVATE_LIBDIR;
    const struct {
        std::string directory, path;
    } rows[] = {
        {"/work/build/bin", "/work/build/bin/" + std::string(kDriverConfigName)},
        {"/opt/zr464", "/opt/zr464/" + std::string(kDriverConfigName)},
        {installed, etc},
        {"/tmp/root" + installed, etc},
        {installed + "-copy", installed + "-copy/" + kDriverConfigName},
    };
    for (const auto& r : rows)
        EXPECT_EQ(driverConfigPathFor(r.directory), r.path) << r.directory;
}

TEST(DriverConfig, NormalNames) {
    EXPECT_EQ(normalKey(" Com 3 "), "COM3");
    EXPECT_EQ(normalKey("kc-683 300H"), "KC-683 300h");
    EXPECT_EQ(normalKey("KC-683 0X2F8"), "KC-683 2F8h");
    EXPECT_EQ(normalKey("kc-1683"), "KC-1683");
    EXPECT_EQ(normalKey("ku-1683"), "KU-1683");
    EXPECT_FALSE(normalKey("KU-1684"));
    EXPECT_FALSE(normalKey("KC-683 10000h"));
    EXPECT_EQ(hexAddress(0x300), "300h");
}

TEST(DriverConfig, FirstUsbConverterByNumber) {
    sertest::TempDir dev;
    EXPECT_EQ(firstUsbSerialDevice(dev.path()), "");
    for (const char* n : {"ttyUSB10", "ttyUSB2", "ttyUSBx", "ttyS0"})
        dev.write(n, "");
    EXPECT_EQ(firstUsbSerialDevice(dev.path()), dev.file("ttyUSB2"));
}

TEST(LineTiming, CharacterTimes) {
    using std::chrono::microseconds;
    EXPECT_EQ(lineTime(1, 9600), microseconds(1042));
    EXPECT_EQ(lineTime(14, 115200), microseconds(1216));
    EXPECT_EQ(lineTime(13, 600), microseconds(216667));
}
