// The four serial-line libraries as the program sees them: each loaded by
// name and driven through its entry points against the simulator on a
// pseudo-terminal; the opening rules and their texts.
#include "SerialSupport.h"

#include "Codes.h"
#include "DevConfig.h"
#include "Prikazy.h"
#include "SerialDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace sertest;
using namespace zrbus;

namespace {

constexpr std::uint32_t kWait = 300;

struct LibCase {
    const char* name;
    std::uint32_t word0;   // COM port number, ISA base address; unused for 2, 3
    const char* configKey; // the line of zr683-drivers.conf
};

const LibCase kLibraries[] = {
    {"XCOM683", 1, "COM1"},
    {"XKC683", 0x300, "KC-683 300h"},
    {"XKC1683", 0, "KC-1683"},
    {"XKU1683", 0, "KU-1683"},
};

// A copy of the library in a temporary directory, its configuration mapping
// the interface to the simulator's pseudo-terminal there.
class SerialLibrary : public ::testing::TestWithParam<LibCase> {
protected:
    void SetUp() override {
        SerialLib::copyTo(GetParam().name, dir.path());
        dir.write(kDriverConfigName,
                  std::string("# test line\n") + GetParam().configKey + " = line\n");
        line = std::make_unique<SimLine>(dir.file("line"));
        ASSERT_EQ(line->startError, "");
        lib = std::make_unique<SerialLib>(GetParam().name, dir.path());
        ASSERT_TRUE(lib->loaded()) << lib->error();
        ASSERT_EQ(lib->init(h, GetParam().word0), kOk) << lib->text(kNoDevice);
        ASSERT_NE(h, 0u);
        ASSERT_EQ(lib->setConfig(h, 9600, kWait), kOk);
    }
    void TearDown() override {
        if (lib && lib->loaded()) lib->done(h);
    }

    TempDir dir;
    std::unique_ptr<SimLine> line;
    std::unique_ptr<SerialLib> lib;
    std::uint32_t h = 0;
};

std::string chars(const Sent& s) {
    return {static_cast<char>(s.a(1)), static_cast<char>(s.a(2)), static_cast<char>(s.a(3)),
            static_cast<char>(s.a(4))};
}

} // namespace

TEST_P(SerialLibrary, IdentifiesTheModule) {
    std::string id;
    std::uint8_t previousStatus = 0;
    for (const std::uint8_t item : {Prikaz::IdNazev1, Prikaz::IdNazev2, Prikaz::IdVerze,
                                    Prikaz::IdDoplnek1, Prikaz::IdDoplnek2}) {
        const Sent s = lib->send(h, 1, Prikaz::Identifikace, item, {previousStatus, 0, 0, 0, 0});
        ASSERT_EQ(s.rc, kOk);
        ASSERT_EQ(s.result, kOk);
        previousStatus = static_cast<std::uint8_t>(s.status);
        id += chars(s);
    }
    EXPECT_EQ(id, "ZR-464  1.04SIM-0001");
    EXPECT_EQ(line->endpoint.lineBaud(), 9600u);
}

TEST_P(SerialLibrary, WritesARegisterAndReadsItBack) {
    const std::uint8_t reg = Registr::DobaVypnutiReleL;
    const Sent w = lib->send(h, 1, Prikaz::ZapisRegistr, 0, {0, reg, reg, 0x2A, 0x2A});
    ASSERT_EQ(w.rc, kOk);
    ASSERT_EQ(w.result, kOk);
    const Sent r = lib->send(h, 1, Prikaz::CtiRegistr, 0, {0, reg, reg, 0, 0});
    ASSERT_EQ(r.result, kOk);
    EXPECT_EQ(r.a(3), 0x2A);
    EXPECT_EQ(line->sim.view(0)->registers[reg], 0x2A);
}

TEST_P(SerialLibrary, ReadsTheInputs) {
    ASSERT_TRUE(line->sim.setInputPins(0, 0x87654321));
    const std::uint32_t expected = line->sim.view(0)->inputsRead;
    const Sent s = lib->send(h, 1, Prikaz::CtiVstupy, Prikaz::ParDIO);
    ASSERT_EQ(s.result, kOk);
    EXPECT_EQ(s.a(1) | s.a(2) << 8 | s.a(3) << 16 | static_cast<std::uint32_t>(s.a(4)) << 24,
              expected);
}

TEST_P(SerialLibrary, TheLineIsHeldExclusively) {
    std::uint32_t second = 0;
    EXPECT_EQ(lib->init(second, GetParam().word0), kDeviceBusy);
    EXPECT_EQ(second, 0u);
    EXPECT_NE(lib->text(kDeviceBusy).find(cp1250("zařízení používá jiný program")),
              std::string::npos);
    ASSERT_EQ(lib->done(h), kOk);
    EXPECT_EQ(lib->init(second, GetParam().word0), kOk); // the lock went with the line
    EXPECT_EQ(lib->setConfig(second, 9600, kWait), kOk);
    EXPECT_EQ(lib->send(second, 1, Prikaz::CtiStav, 0).result, kOk);
    lib->done(second);
}

INSTANTIATE_TEST_SUITE_P(Four, SerialLibrary, ::testing::ValuesIn(kLibraries),
                         [](const auto& info) { return std::string(info.param.name); });

// A module at 19200 Bd does not answer a line at 9600 Bd.
TEST(SerialBaudRate, AModuleAnswersOnlyAtItsOwnRate) {
    TempDir dir;
    SerialLib::copyTo("XCOM683", dir.path());
    dir.write(kDriverConfigName, "COM2 = line\n");
    zrsim::SimulatorConfig config;
    config.modules[0].baudIndex = 5; // 19200 Bd
    SimLine line(dir.file("line"), config);
    SerialLib lib("XCOM683", dir.path());
    std::uint32_t h = 0;
    ASSERT_EQ(lib.init(h, 2), kOk);
    ASSERT_EQ(lib.setConfig(h, 9600, 200), kOk);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(lib.send(h, 1, Prikaz::CtiStav, 0).result, kTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, Ms(200));
    EXPECT_EQ(line.endpoint.lineBaud(), 9600u);
    ASSERT_EQ(lib.setConfig(h, 19200, 200), kOk);
    EXPECT_EQ(lib.send(h, 1, Prikaz::CtiStav, 0).result, kOk);
    EXPECT_EQ(line.endpoint.lineBaud(), 19200u);
    lib.done(h);
}

// Opening fails with a code whose text names the interface, the device and
// the reason; the handle stays 0.
class SerialOpening : public ::testing::Test {
protected:
    // Loads a fresh copy of the library with this configuration.
    std::unique_ptr<SerialLib> load(const char* name, const std::string& config) {
        SerialLib::copyTo(name, dir.path());
        dir.write(kDriverConfigName, config);
        return std::make_unique<SerialLib>(name, dir.path());
    }
    void expectFailure(const SerialLib& lib, std::uint32_t word0, std::uint32_t code,
                       const std::string& text) {
        std::uint32_t h = 0xFFFF;
        EXPECT_EQ(lib.init(h, word0), code);
        EXPECT_EQ(h, 0u);
        EXPECT_EQ(lib.text(code), cp1250(text));
    }
    TempDir dir;
};

TEST_F(SerialOpening, ComPortNumberOutOfRange) {
    const auto lib = load("XCOM683", "COM1 = /dev/null\n");
    expectFailure(*lib, 0, kBadComPort, "neplatné číslo portu COM 0 (povoleno 1 až 255)");
    expectFailure(*lib, 256, kBadComPort, "neplatné číslo portu COM 256 (povoleno 1 až 255)");
}

TEST_F(SerialOpening, MissingDeviceNotASerialDeviceAndDefaults) {
    const auto lib = load("XCOM683", "COM3 = /dev/null\nCOM4 = nowhere/tty\nCOM5 = /tmp\n");
    expectFailure(*lib, 3, kNotSerial,
                  "port COM3 nelze otevřít: není to sériové zařízení (/dev/null)");
    expectFailure(*lib, 4, kNoDevice,
                  "port COM4 nelze otevřít: zařízení neexistuje (" + dir.file("nowhere/tty") + ")");
    expectFailure(*lib, 5, kNotSerial, "port COM5 nelze otevřít: není to sériové zařízení (/tmp)");
    // Without a line of its own COM 200 is /dev/ttyS199, which no machine has.
    expectFailure(*lib, 200, kNoDevice,
                  "port COM200 nelze otevřít: zařízení neexistuje (/dev/ttyS199)");
    // The text is Windows-1250: "ř" is 0xF8, "í" 0xED.
    EXPECT_NE(lib->text(kNoDevice).find("za\xF8\xEDzen\xED"), std::string::npos);
    // Another code keeps its plain text.
    EXPECT_EQ(lib->text(kTimeout), cp1250("modul neodpověděl v časovém limitu"));
}

TEST_F(SerialOpening, CardsThatAreNotConfiguredAreNotInstalled) {
    const auto isa = load("XKC683", "kc-683 2a0h = /dev/null\n");
    expectFailure(*isa, 0x300, kNotInstalled, "karta KC-683 na adrese 300h není nainstalována");
    expectFailure(
        *isa, 0x2A0, kNotSerial,
        "kartu KC-683 na adrese 2A0h nelze otevřít: není to sériové zařízení (/dev/null)");
    const auto pci = load("XKC1683", "# nothing\n");
    expectFailure(*pci, 0, kNotInstalled, "karta KC-1683 není nainstalována");
}

TEST_F(SerialOpening, UsbConverterWithoutDevice) {
    if (!firstUsbSerialDevice().empty()) GTEST_SKIP() << "this machine has a /dev/ttyUSB*";
    const auto lib = load("XKU1683", "");
    expectFailure(*lib, 0, kNotInstalled,
                  "převodník KU-1683 není připojen (žádné zařízení /dev/ttyUSB*)");
}

// Two libraries (two programs, as far as the line is concerned) on one device.
TEST_F(SerialOpening, ALineIsNotShared) {
    SimLine line(dir.file("line"));
    const auto com = load("XCOM683", "COM1 = line\nKU-1683 = line\n");
    const auto usb = load("XKU1683", "COM1 = line\nKU-1683 = line\n");
    std::uint32_t h = 0;
    ASSERT_EQ(com->init(h, 1), kOk);
    expectFailure(*usb, 0, kDeviceBusy,
                  "převodník KU-1683 nelze otevřít: zařízení používá jiný program (" +
                      dir.file("line") + ")");
    com->done(h);
}

// A configuration file that is there but is no regular file, or too large,
// is not read (a FIFO would keep the reader waiting for a writer): _Init
// fails at once and names the file and the reason.
TEST_F(SerialOpening, AConfigurationFileThatCannotBeReadFailsInitPromptly) {
    const std::string conf = dir.file(kDriverConfigName);
    struct Row {
        const char* what;
        std::function<void()> make;
        const char* reason;
    } rows[] = {
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(conf.c_str(), 0600), 0); }, "není to obyčejný soubor"},
        {"directory", [&] { ASSERT_EQ(::mkdir(conf.c_str(), 0700), 0); },
         "není to obyčejný soubor"},
        {"too large",
         [&] {
             dir.write(kDriverConfigName, "COM1 = /dev/null\n");
             ASSERT_EQ(::truncate(conf.c_str(), kMaxDriverConfigBytes + 1), 0);
         },
         "soubor je příliš velký"},
    };
    SerialLib::copyTo("XCOM683", dir.path());
    const SerialLib lib("XCOM683", dir.path());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::filesystem::remove_all(conf);
        r.make();
        std::uint32_t h = 0xFFFF;
        auto init = std::async(std::launch::async, [&] { return lib.init(h, 1); });
        if (init.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "_Init is blocked";
            // A writer lets a reader blocked on the FIFO go on.
            const int fd = ::open(conf.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        }
        EXPECT_EQ(init.get(), kOpenFailed);
        EXPECT_EQ(h, 0u);
        // The file's name stays at the end, the start of its path may be cut.
        const std::string text = lib.text(kOpenFailed);
        EXPECT_TRUE(
            text.starts_with(cp1250(std::string(kConfigUnreadable) + ": " + r.reason + " (")))
            << text;
        EXPECT_TRUE(text.ends_with(std::string("/") + kDriverConfigName + ")")) << text;
        lib.done(h);
    }
}

// A device path is any bytes: one that is not UTF-8 shows each such byte as
// "?" and keeps the rest of the text.
TEST_F(SerialOpening, ADevicePathThatIsNotUtf8KeepsTheTextAroundIt) {
    struct Row {
        std::string path;
        std::string shown;
    } rows[] = {
        {"/nowhere/\xC3", "/nowhere/?"},             // a lead byte at the end
        {"/nowhere/\xE2\x82", "/nowhere/??"},        // a sequence cut short
        {"/nowhere/\xF0\x9F\x98", "/nowhere/???"},   // of four bytes, cut short
        {"/nowhere/\x80x", "/nowhere/?x"},           // a lone continuation byte
        {"/nowhere/\xE0\x80\x80z", "/nowhere/?z"},   // an overlong NUL
        {"/nowhere/\xC5\x99\xC3", "/nowhere/\xF8?"}, // "ř" then a lead byte
    };
    std::string config;
    for (std::size_t i = 0; i < std::size(rows); ++i)
        config += "COM" + std::to_string(i + 1) + " = " + rows[i].path + "\n";
    const auto lib = load("XCOM683", config);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        std::uint32_t h = 0;
        EXPECT_EQ(lib->init(h, static_cast<std::uint32_t>(i + 1)), kNoDevice) << i;
        EXPECT_EQ(lib->text(kNoDevice), cp1250("port COM" + std::to_string(i + 1) +
                                               " nelze otevřít: zařízení neexistuje (") +
                                            rows[i].shown + ")")
            << i;
    }
}
