// Transactions per second on the program's LAN path, PosliPrikaz -> XZR1683
// -> loopback UDP -> simulated converter and module -> back, beside a bare
// UDP ping-pong of the same datagram sizes (14 bytes out, 20 back) in the
// same run. At the end it prints the ratio of the two times per transaction.
// A third benchmark calls XZR1683_Send directly against a minimal responder,
// to tell the library's share from the simulator's. A fourth sends to an
// address no simulated module has and prints how far the time-out overshoots.
// A fifth runs the program's path with the connection counts kept by the
// transaction observer, as the program keeps them, against the same path
// without; a sixth times the counts alone. A seventh adds the traffic log's
// ring to the counts, as the program's observer feeds both, and an eighth
// times the ring alone.
#include "Codes.h"
#include "Frame.h"
#include "Simulator.h"
#include "StatistikaSpojeni.h"
#include "UdpEndpoint.h"
#include "Xxxx683.h"
#include "ZaznamKomunikace.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t kRequestSize = 14; // a Request frame
constexpr std::size_t kAnswerSize = 20;  // an Answer frame

// The time-out row: the wait value of _SetConfig plus the library's UDP
// time-out, about a scan's probe time-out; no module has the address.
constexpr std::uint32_t kWaitMs = 40;
constexpr std::uint16_t kUdpTimeoutMs = 8;
constexpr std::uint8_t kAbsentAddress = 77;

int loopbackSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

std::uint16_t portOf(int fd) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

// A responder on its own thread: blocking receive, one datagram back. In
// echo mode it sends 20 bytes back for anything; in frame mode it answers a
// request frame with a valid answer frame (and line settings with an ack).
class Responder {
public:
    explicit Responder(bool frames) : fd_(loopbackSocket()), frames_(frames) {
        timeval tv{0, 50000};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        thread_ = std::thread([this] { run(); });
    }
    ~Responder() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::uint16_t port() const { return portOf(fd_); }

private:
    void run() {
        std::uint8_t in[512], out[zrbus::kMaxFrameSize] = {};
        while (!stop_) {
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n =
                ::recvfrom(fd_, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n <= 0) continue;
            const std::size_t size =
                frames_ ? answer(in, static_cast<std::size_t>(n), out) : kAnswerSize;
            ::sendto(fd_, out, size, 0, reinterpret_cast<sockaddr*>(&from), len);
        }
    }
    static std::size_t answer(const std::uint8_t* in, std::size_t n, std::uint8_t* out) {
        zrbus::Frame f;
        if (zrbus::decodeOne(in, n, f) != zrbus::DecodeResult::Ok) return 0;
        const zrbus::Frame reply = f.type == zrbus::FrameType::LineConfig
                                       ? zrbus::makeLineConfigAck(0, f)
                                       : zrbus::makeAnswer({f.address, 0, 0, {1, 2, 3, 4}}, f);
        return zrbus::encode(reply, out, zrbus::kMaxFrameSize);
    }

    int fd_;
    bool frames_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TParametry lanBlock(std::uint16_t port, std::uint16_t udpTimeoutMs = 1000) {
    TData data;
    VychoziData(&data);
    data.IPAdresa = QStringLiteral("127.0.0.1");
    data.UDPPort = port;
    data.UDPTimeout = udpTimeoutMs;
    ParametryLAN(data);
    return data.Parametry;
}

void BM_BareUdpPingPong(benchmark::State& state) {
    Responder echo(false);
    const int fd = loopbackSocket();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(echo.port());
    ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
    std::uint8_t out[kRequestSize] = {0xA5}, in[64];
    for (auto _ : state) {
        ::send(fd, out, sizeof out, 0);
        if (::recv(fd, in, sizeof in, 0) != static_cast<ssize_t>(kAnswerSize)) {
            state.SkipWithError("echo lost");
            break;
        }
    }
    ::close(fd);
    state.SetItemsProcessed(state.iterations());
}

// PosliPrikaz through the bound library to the simulator, each transaction
// to `address` ending with `expected`.
void transactionsToSimulator(benchmark::State& state, std::uint8_t address,
                             std::uint16_t udpTimeoutMs, std::uint32_t waitMs,
                             std::uint8_t expected) {
    zrsim::Simulator sim(zrsim::SimulatorConfig{});
    zrsim::UdpEndpoint endpoint(sim, zrsim::UdpEndpointConfig{"127.0.0.1", 0});
    std::string error;
    std::uint32_t h = 0;
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    if (!endpoint.start(error) ||
        InitRozhrani(4, h, lanBlock(endpoint.port(), udpTimeoutMs)) != 0 ||
        NastavRozhrani(4, h, 9600, waitMs, 2) != 0) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    TOdpoved odpoved{};
    for (auto _ : state) {
        std::uint8_t d[5] = {0, 0, 0, 0, 0}, vysledek = 0xFF;
        PosliPrikaz(4, h, address, 0, 64, &d[0], &d[1], &d[2], &d[3], &d[4], &vysledek, &odpoved);
        if (vysledek != expected) {
            state.SkipWithError("unexpected result");
            break;
        }
    }
    KonecRozhrani(4, h);
    state.SetItemsProcessed(state.iterations());
}

// The program's path: PosliPrikaz through the bound library to the simulator.
void BM_PosliPrikazToSimulator(benchmark::State& state) {
    transactionsToSimulator(state, 1, 1000, 200, 0);
}

void BM_PosliPrikazWithCounts(benchmark::State& state) {
    TStatistikaSpojeni statistika;
    NastavPozorovatelePrikazu([&statistika](const TZaznamPrikazu& z) {
        statistika.Zaznamenej(z, std::chrono::system_clock::now(), PocetOtevrenychSpojeni());
    });
    transactionsToSimulator(state, 1, 1000, 200, 0);
    NastavPozorovatelePrikazu(nullptr);
    if (statistika.Souhrn().Transakci == 0) state.SkipWithError("nothing counted");
}

// The program's observer: the counts and the traffic log's ring.
void BM_PosliPrikazWithCountsAndLog(benchmark::State& state) {
    TStatistikaSpojeni statistika;
    TZaznamKomunikace zaznam;
    NastavPozorovatelePrikazu([&](const TZaznamPrikazu& z) {
        const auto kdy = std::chrono::system_clock::now();
        statistika.Zaznamenej(z, kdy, PocetOtevrenychSpojeni());
        zaznam.Zaznamenej(z, kdy);
    });
    transactionsToSimulator(state, 1, 1000, 200, 0);
    NastavPozorovatelePrikazu(nullptr);
    if (zaznam.Pocet() == 0) state.SkipWithError("nothing recorded");
}

// What the ring adds to one transaction, wrapping many times over.
void BM_LogAlone(benchmark::State& state) {
    TZaznamKomunikace zaznam;
    TZaznamPrikazu z;
    const auto kdy = std::chrono::system_clock::now();
    for (auto _ : state) {
        z.Trvani = std::chrono::microseconds(30 + (state.iterations() & 63));
        zaznam.Zaznamenej(z, kdy);
        benchmark::DoNotOptimize(zaznam);
    }
}

// What the observer adds to one transaction: the clock and the counts.
void BM_CountsAlone(benchmark::State& state) {
    TStatistikaSpojeni statistika;
    const TPozorovatelPrikazu pozorovatel = [&statistika](const TZaznamPrikazu& z) {
        statistika.Zaznamenej(z, std::chrono::system_clock::now(), PocetOtevrenychSpojeni());
    };
    TZaznamPrikazu z;
    for (auto _ : state) {
        z.Trvani = std::chrono::microseconds(30 + (state.iterations() & 63));
        pozorovatel(z);
        benchmark::DoNotOptimize(z);
    }
}

// A transaction nobody answers: the time it takes against its time-out.
void BM_TimeoutToAbsentAddress(benchmark::State& state) {
    transactionsToSimulator(state, kAbsentAddress, kUdpTimeoutMs, kWaitMs, zrbus::kTimeout);
}

// The library alone: XZR1683_Send against the minimal frame responder.
void BM_LibrarySendToResponder(benchmark::State& state) {
    Responder peer(true);
    std::uint32_t h = 0;
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    if (InitRozhrani(4, h, lanBlock(peer.port())) != 0 || NastavRozhrani(4, h, 9600, 200, 2) != 0) {
        state.SkipWithError("no connection to the responder");
        return;
    }
    TPozadavek rq{};
    rq[0] = 1;
    rq[2] = 64;
    TOdpoved answer{};
    for (auto _ : state) {
        std::uint32_t status = 0, result = 0;
        if (PosliRozhrani(4, h, rq, answer, status, result) != 0 || result != 0) {
            state.SkipWithError("transaction failed");
            break;
        }
    }
    KonecRozhrani(4, h);
    state.SetItemsProcessed(state.iterations());
}

// Repeated, so that the ratio rests on medians rather than on one run that a
// busy machine happened to slow down.
BENCHMARK(BM_BareUdpPingPong)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PosliPrikazToSimulator)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PosliPrikazWithCounts)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LibrarySendToResponder)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PosliPrikazWithCountsAndLog)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CountsAlone)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LogAlone)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TimeoutToAbsentAddress)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Prints as usual and remembers the median real time per iteration of each
// benchmark (or its single run's, when run without repetitions), in seconds.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations == 0) continue;
            const bool median = r.aggregate_name == "median";
            if (!median && (!r.aggregate_name.empty() || r.repetitions > 1)) continue;
            perIteration[r.run_name.function_name] =
                r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
    }
    std::map<std::string, double> perIteration;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& t = reporter.perIteration;
    const auto bare = t.find("BM_BareUdpPingPong");
    for (const char* name : {"BM_PosliPrikazToSimulator", "BM_LibrarySendToResponder"}) {
        const auto it = t.find(name);
        if (bare == t.end() || it == t.end()) continue;
        std::printf("ratio %s / bare UDP ping-pong = %.3f (target <= 1.3)\n", name,
                    it->second / bare->second);
    }
    const auto without = t.find("BM_PosliPrikazToSimulator");
    const auto with = t.find("BM_PosliPrikazWithCounts");
    if (without != t.end() && with != t.end())
        std::printf("ratio with connection counts / without = %.3f (target: 1 within the spread)\n",
                    with->second / without->second);
    const auto log = t.find("BM_PosliPrikazWithCountsAndLog");
    if (with != t.end() && log != t.end())
        std::printf("ratio with counts and traffic log / counts alone = %.3f (target: 1 within the "
                    "spread)\n",
                    log->second / with->second);
    if (const auto ring = t.find("BM_LogAlone"); without != t.end() && ring != t.end())
        std::printf("traffic log alone: %.4f of one transaction\n", ring->second / without->second);
    const auto counts = t.find("BM_CountsAlone");
    if (without != t.end() && counts != t.end())
        std::printf("connection counts alone: %.4f of one transaction\n",
                    counts->second / without->second);
    if (const auto it = t.find("BM_TimeoutToAbsentAddress"); it != t.end()) {
        const double timeoutMs = kWaitMs + kUdpTimeoutMs;
        std::printf("time-out %.0f ms: median %.2f ms, overshoot %.2f ms, ratio %.3f (target "
                    "overshoot < 0.5 ms)\n",
                    timeoutMs, it->second * 1e3, it->second * 1e3 - timeoutMs,
                    it->second * 1e3 / timeoutMs);
    }
    benchmark::Shutdown();
    return 0;
}
