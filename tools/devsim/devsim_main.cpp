// devsim: plays the managed devices of a scenario file on UDP port 2719, for the lab tests and
// the demo. It sends nothing unless it runs inside a namespace made by tests/lab/netlab.sh.
//   devsim [--log FILE] [--log-sent] [--ready-file FILE] [--seed N] SCENARIO
//   devsim --check SCENARIO      parses the scenario only
// Exit codes: 0 stopped by SIGTERM/SIGINT (or --check passed), 1 socket failure, 2 bad command
// line or scenario, 3 refused outside the lab.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "protocol/device_record.h"
#include "tools/devsim/datagram_log.h"
#include "tools/devsim/fleet.h"
#include "tools/devsim/scenario.h"
#include "tools/devsim/scenario_values.h"
#include "tools/devsim/sim_runner.h"
#include "tools/devsim/udp_endpoint.h"
#include "tools/lab_guard.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

struct Options {
    std::string scenarioPath;
    std::string logPath;
    std::string readyPath;
    bool logSent = false;
    bool checkOnly = false;
    std::uint32_t seed = 1;
};

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "devsim: %s\n"
                 "usage: devsim [--log FILE] [--log-sent] [--ready-file FILE] [--seed N] SCENARIO\n"
                 "       devsim --check SCENARIO\n",
                 problem);
    return 2;
}

bool ParseOptions(int argc, char** argv, Options* options, std::string* problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if ((argument == "--log" || argument == "--ready-file" || argument == "--seed") &&
            !hasValue) {
            *problem = argument + " needs a value";
            return false;
        }
        if (argument == "--log") {
            options->logPath = argv[++i];
        } else if (argument == "--ready-file") {
            options->readyPath = argv[++i];
        } else if (argument == "--seed") {
            std::uint64_t seed = 0;
            if (!devsim::ParseUnsigned(argv[++i], 0xFFFFFFFFull, &seed)) {
                *problem = "--seed needs a number";
                return false;
            }
            options->seed = static_cast<std::uint32_t>(seed);
        } else if (argument == "--log-sent") {
            options->logSent = true;
        } else if (argument == "--check") {
            options->checkOnly = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            *problem = "unknown option " + argument;
            return false;
        } else if (options->scenarioPath.empty()) {
            options->scenarioPath = argument;
        } else {
            *problem = "only one scenario file";
            return false;
        }
    }
    if (options->scenarioPath.empty()) {
        *problem = "no scenario file";
        return false;
    }
    return true;
}

void WriteReadyFile(const std::string& path) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) {
        std::fprintf(stderr, "devsim: cannot write %s: %s\n", temporary.c_str(),
                     std::strerror(errno));
        return;
    }
    std::fprintf(file, "%d\n", static_cast<int>(getpid()));
    std::fclose(file);
    std::rename(temporary.c_str(), path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string problem;
    if (!ParseOptions(argc, argv, &options, &problem)) {
        return Usage(problem.c_str());
    }

    std::ifstream input(options.scenarioPath, std::ios::binary);
    if (!input) {
        std::fprintf(stderr, "devsim: cannot read scenario %s\n", options.scenarioPath.c_str());
        return 2;
    }
    devsim::Scenario scenario;
    devsim::ParseError error;
    if (!devsim::ParseScenario(input, &scenario, &error)) {
        std::fprintf(stderr, "devsim: %s\n",
                     devsim::FormatParseError(options.scenarioPath, error).c_str());
        return 2;
    }
    if (options.checkOnly) {
        std::printf("devsim: %s: %zu devices\n", options.scenarioPath.c_str(),
                    scenario.devices.size());
        return 0;
    }

    std::string why;
    if (!netsonde::lab::InsideLabNamespace(&why)) {
        std::fprintf(stderr,
                     "devsim: refusing to run: %s; it runs only inside the lab "
                     "(tests/lab/netlab.sh)\n",
                     why.c_str());
        return 3;
    }

    // Termination signals stay blocked except while the loop waits (see RunSimulator).
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    devsim::DatagramLog log;
    if (!options.logPath.empty() && !log.Open(options.logPath)) {
        std::fprintf(stderr, "devsim: cannot write log %s: %s\n", options.logPath.c_str(),
                     std::strerror(errno));
        return 2;
    }
    devsim::UdpEndpoint endpoint;
    if (!endpoint.Open("", netsonde::kDevicePort, 4 << 20, true, &problem)) {
        std::fprintf(stderr, "devsim: %s\n", problem.c_str());
        return 1;
    }
    const std::size_t deviceCount = scenario.devices.size();
    devsim::DeviceFleet fleet(std::move(scenario.devices), options.seed);
    if (!options.readyPath.empty()) {
        WriteReadyFile(options.readyPath);
    }
    std::printf("devsim: ready: %zu devices on port %u\n", deviceCount,
                static_cast<unsigned>(netsonde::kDevicePort));
    std::fflush(stdout);

    const devsim::RunnerCounts counts = devsim::RunSimulator(
        endpoint, fleet, scenario.paceBitsPerSecond, log, options.logSent, &stopRequested);
    endpoint.Close();
    if (!options.readyPath.empty()) {
        std::remove(options.readyPath.c_str());
    }
    std::printf("devsim: stopped: %llu datagrams received, %llu sent, %llu lost\n",
                static_cast<unsigned long long>(counts.received),
                static_cast<unsigned long long>(counts.sent),
                static_cast<unsigned long long>(counts.sendFailures));
    return 0;
}
