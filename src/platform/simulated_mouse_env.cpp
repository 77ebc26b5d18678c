// The simulated mouse as start-up selects it from the environment, its trace lines and the
// FIFO through which a person or an end-to-end test injects input reports from outside.

#include "platform/simulated_mouse.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace platform {
namespace {

constexpr std::size_t MaxInjectedBytes = 64;
constexpr std::size_t MaxLineLength = 1024;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && IsBlank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

// "<word> <decimal number>": the number, or nothing when the line is not word and a number.
std::optional<int> NumberAfter(std::string_view line, std::string_view word) {
    if (line.size() <= word.size() || line.substr(0, word.size()) != word ||
        !IsBlank(line[word.size()])) {
        return std::nullopt;
    }
    const std::string_view digits = Trimmed(line.substr(word.size()));
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> ButtonAfter(std::string_view line, std::string_view word) {
    const std::optional<int> button = NumberAfter(line, word);
    if (button && *button >= 1 && *button <= SimulatedMouse::LastButton) {
        return button;
    }
    return std::nullopt;
}

// Runs for the life of the process. The FIFO is opened for reading and writing so that it
// never reports end-of-file when a writer closes it.
void InjectFromFifo(SimulatedMouse* mouse, std::string path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        ::mkfifo(path.c_str(), 0600);
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "simulated mouse: cannot open %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return;
    }
    std::string line;
    char chunk[256];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        for (ssize_t i = 0; i < got; ++i) {
            if (chunk[i] == '\n') {
                HandleSimulatedMouseLine(*mouse, line);
                line.clear();
            } else if (line.size() < MaxLineLength) {
                line.push_back(chunk[i]);
            }
        }
    }
    ::close(fd);
}

const char* DirectionName(SimulatedReport::Direction direction) {
    switch (direction) {
        case SimulatedReport::Direction::Set:
            return "set";
        case SimulatedReport::Direction::Get:
            return "get";
        case SimulatedReport::Direction::Input:
            return "input";
    }
    return "?";
}

}  // namespace

std::string FormatSimulatedReport(const SimulatedReport& report, std::int64_t startMicroseconds) {
    const std::int64_t elapsed = report.timeMicroseconds - startMicroseconds;
    const std::int64_t magnitude = elapsed < 0 ? -elapsed : elapsed;
    char head[64];
    std::snprintf(head, sizeof head, "%s%lld.%03lld %s", elapsed < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 1000),
                  static_cast<long long>(magnitude % 1000), DirectionName(report.direction));
    std::string line = head;
    for (std::uint8_t byte : report.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
    }
    return line;
}

std::optional<std::vector<std::uint8_t>> ParseHexReport(std::string_view line) {
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && !IsBlank(line[end])) {
            ++end;
        }
        const std::string_view token = line.substr(i, end - i);
        if (token.size() > 2 || bytes.size() == MaxInjectedBytes) {
            return std::nullopt;
        }
        int value = 0;
        for (char c : token) {
            const int digit = HexDigit(c);
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16 + digit;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        i = end;
    }
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

bool HandleSimulatedMouseLine(SimulatedMouse& mouse, std::string_view line) {
    line = Trimmed(line);
    if (line == "unplug") {
        mouse.Unplug();
    } else if (line == "replug") {
        mouse.Replug();
    } else if (line == "dpi") {
        if (const int button = mouse.DpiButton(); button != 0) {
            mouse.PressButton(button);
            mouse.ReleaseButton(button);
        }
    } else if (const auto button = ButtonAfter(line, "press")) {
        mouse.PressButton(*button);
    } else if (const auto button = ButtonAfter(line, "release")) {
        mouse.ReleaseButton(*button);
    } else if (const auto button = ButtonAfter(line, "click")) {
        mouse.PressButton(*button);
        mouse.ReleaseButton(*button);
    } else if (const auto profile = NumberAfter(line, "profile");
               profile && *profile >= 1 && *profile <= 4) {
        mouse.SwitchProfileAndReport(*profile - 1);
    } else if (auto report = ParseHexReport(line)) {
        mouse.InjectInput(std::move(*report));
    } else {
        return false;
    }
    return true;
}

SimulatedMouse* InstallHidBackendFromEnvironment(const HidAttributes& identity) {
    const char* selected = std::getenv("ZELBO_SIMULATED_MOUSE");
    if (selected == nullptr || std::string_view(selected) != "1") {
        return nullptr;
    }
    // Kept for the life of the process: the event thread may still be blocked in a read when
    // the program ends.
    static SimulatedMouse* const mouse = [&identity] {
        auto* created = new SimulatedMouse(identity);
        if (const char* trace = std::getenv("ZELBO_SIM_TRACE"); trace != nullptr && *trace) {
            if (!created->SetTraceFile(QString::fromLocal8Bit(trace))) {
                std::fprintf(stderr, "simulated mouse: cannot write the trace to %s\n", trace);
            }
        }
        if (const char* fifo = std::getenv("ZELBO_SIM_INJECT"); fifo != nullptr && *fifo) {
            std::thread(InjectFromFifo, created, std::string(fifo)).detach();
        }
        return created;
    }();
    SetHidBackend(mouse);
    return mouse;
}

}  // namespace platform
