#include "Sbernice.h"

#include "Cli.h"
#include "Xxxx683.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

extern char** environ;

namespace {

zrsim::SimulatorConfig Konfigurace(const std::vector<TModulSbernice>& moduly) {
    zrsim::SimulatorConfig c;
    c.modules.clear();
    for (const TModulSbernice& m : moduly) {
        zrsim::ModuleSetup s;
        s.address = m.Adresa;
        s.baudIndex = RychlostNaIndex(m.Rychlost);
        s.identity.version = m.Verze;
        s.identity.extra = m.Doplnek;
        c.modules.push_back(s);
    }
    return c;
}

} // namespace

TSbernice::TSbernice(const std::vector<TModulSbernice>& moduly)
    : Sim(Konfigurace(moduly)), Udp(Sim, {"127.0.0.1", 0}) {
    std::string chyba;
    Udp.start(chyba);
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    PozadavekPreruseni().store(false);
}

TSbernice::~TSbernice() {
    NastavPozorovatelePrikazu(nullptr);
    NastavAdresarKnihoven(QString());
    Udp.stop();
}

std::vector<std::string> TSbernice::Pripojeni() const {
    return {
        "-i", "lan", "--ip", "127.0.0.1", "--udp-port", std::to_string(Udp.port()), "--udp-timeout",
        "20"};
}

TBeh TSbernice::Spust(std::vector<std::string> argumenty) const {
    const auto p = Pripojeni();
    argumenty.insert(argumenty.end(), p.begin(), p.end());
    std::ostringstream out, err;
    TProstredi prostredi;
    // No settings file: the defaults, overlaid by the options.
    prostredi.Nastaveni = Adresar.filePath(QStringLiteral("W_zr464.ini"));
    TBeh beh;
    beh.Kod = SpustCli(argumenty, out, err, prostredi);
    beh.Out = out.str();
    beh.Err = err.str();
    return beh;
}

std::string TSbernice::Cesta(const std::string& nazev) const {
    return Adresar.filePath(QString::fromStdString(nazev)).toStdString();
}

TProcesCli::TProcesCli(std::vector<std::string> argumenty) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    if (::pipe2(err, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_adddup2(&fa, err[1], 2);
    argumenty.insert(argumenty.begin(), std::string(ZR_BIN_DIR) + "/zr464-cli");
    std::vector<char*> argv;
    for (std::string& a : argumenty)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&Pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) Pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(out[1]);
    ::close(err[1]);
    OutFd = out[0];
    ErrFd = err[0];
}

TProcesCli::~TProcesCli() {
    if (Pid > 0) {
        ::kill(Pid, SIGKILL);
        ::waitpid(Pid, nullptr, 0);
    }
    for (int fd : {OutFd, ErrFd})
        if (fd >= 0) ::close(fd);
}

// One round of reading whatever is there; false when both outputs ended or
// the deadline passed.
bool TProcesCli::Cti(std::chrono::steady_clock::time_point konec) {
    std::vector<pollfd> p;
    for (int fd : {OutFd, ErrFd})
        if (fd >= 0) p.push_back({fd, POLLIN, 0});
    const auto zbyva = std::chrono::duration_cast<std::chrono::milliseconds>(
        konec - std::chrono::steady_clock::now());
    if (p.empty() || zbyva.count() <= 0) return false;
    if (::poll(p.data(), p.size(), static_cast<int>(zbyva.count())) <= 0) return false;
    for (const pollfd& q : p) {
        if (q.revents == 0) continue;
        char buf[4096];
        const ssize_t n = ::read(q.fd, buf, sizeof buf);
        int& fd = q.fd == OutFd ? OutFd : ErrFd;
        std::string& cil = q.fd == OutFd ? Out : Err;
        if (n <= 0) {
            ::close(fd);
            fd = -1;
        } else {
            cil.append(buf, static_cast<std::size_t>(n));
        }
    }
    return true;
}

bool TProcesCli::CekejNaErr(const std::string& text, std::chrono::milliseconds limit) {
    const auto konec = std::chrono::steady_clock::now() + limit;
    while (Err.find(text) == std::string::npos)
        if (!Cti(konec)) return false;
    return true;
}

void TProcesCli::Signal(int signal) const {
    if (Pid > 0) ::kill(Pid, signal);
}

int TProcesCli::Dokonci(std::chrono::milliseconds limit) {
    const auto konec = std::chrono::steady_clock::now() + limit;
    while (OutFd >= 0 || ErrFd >= 0)
        if (!Cti(konec)) return -1;
    int status = 0;
    if (::waitpid(Pid, &status, 0) != Pid) return -1;
    Pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
