// qel-sim: serves simulated units on pseudo-terminals, one "PATH=NAME" line per unit on
// standard output (ready for QELIO32_PORTS), until it is ended; or writes firmware images.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "make_image_command.h"
#include "pty_server.h"
#include "rig.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

constexpr const char* kUsage =
    "usage: qel-sim [--rig NAME|FILE]      serve the rig's units on pseudo-terminals\n"
    "       qel-sim --list-rigs\n"
    "       qel-sim make-image [--records N] [--model M] [--version X.Y.Z] [--build B]\n"
    "                          [--corrupt] [--foreign] OUT\n"
    "The rig defaults to QELIO32_SIM_RIG, or \"default\".\n";

int Serve(const std::string& rigName) {
    std::string error;
    std::optional<qelsim::Rig> rig = qelsim::Rig::Load(rigName, &error);
    if (!rig) {
        std::cerr << "qel-sim: " << error << "\n";
        return 2;
    }
    qelsim::PtyServer server(*rig);
    if (!server.Open(&error)) {
        std::cerr << "qel-sim: " << error << "\n";
        return 1;
    }
    for (const std::string& line : server.PortLines())
        std::cout << line << "\n";
    std::cout.flush();
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);
    server.Serve(g_stop);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "make-image") {
        return qelsim::RunMakeImage({args.begin() + 1, args.end()}, std::cerr);
    }
    const char* env = std::getenv("QELIO32_SIM_RIG");
    std::string rig = env && *env ? env : qelsim::kDefaultRig;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--rig" && i + 1 < args.size()) {
            rig = args[++i];
        } else if (args[i] == "--list-rigs") {
            for (const auto& name : qelsim::Rig::RigNames())
                std::cout << name << "\n";
            return 0;
        } else {
            std::cerr << kUsage;
            return args[i] == "--help" ? 0 : 2;
        }
    }
    return Serve(rig);
}
