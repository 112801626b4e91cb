// A temporary directory holding a copy of the COM port library and a driver
// configuration file that points COM1 at "line" in that directory, so a
// benchmark can put a pseudo-terminal's link there. Removed with the object.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

struct TempCopy {
    std::filesystem::path dir;
    explicit TempCopy(const char* predpona) {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / predpona).string() + "-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) dir = pattern;
        fs::copy_file(fs::path(ZR_BIN_DIR) / "XCOM683.so", dir / "XCOM683.so");
        std::ofstream(dir / "zr683-drivers.conf") << "COM1 = line\n";
    }
    ~TempCopy() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;
};
