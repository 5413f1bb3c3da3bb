// The setup log and the outcome of the run.
#include "host/toolkit/setup_log.h"

#include <cstdio>
#include <fstream>

namespace orv::toolkit {

namespace {

struct RunLog {
    std::ofstream stream;
    bool finished = false;
};

RunLog &Log() {
    static RunLog log;
    return log;
}

RunEvents g_events;

}  // namespace

const char *OutcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::NotStarted: return "not started";
    case Outcome::Installed: return "installed";
    case Outcome::InstalledWithErrors: return "installed with errors";
    case Outcome::Quit: return "quit";
    case Outcome::Fatal: return "fatal";
    }
    return "fatal";
}

int OutcomeExitStatus(Outcome outcome) {
    switch (outcome) {
    case Outcome::Installed: return 0;
    case Outcome::NotStarted: return 1;
    case Outcome::Quit: return 2;
    case Outcome::Fatal: return 3;
    case Outcome::InstalledWithErrors: return 4;
    }
    return 3;
}

bool OpenRunLog(const std::filesystem::path &file, std::string &error) {
    auto &log = Log();
    if (log.stream.is_open()) log.stream.close();
    log.finished = false;
    log.stream.open(file, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!log.stream) {
        error = "cannot write the log file " + file.string();
        return false;
    }
    return true;
}

bool RunLogIsOpen() { return Log().stream.is_open() && !Log().finished; }

void LogLine(std::string_view text) {
    auto &log = Log();
    if (!log.stream.is_open() || log.finished) return;
    bool first = true;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!first) log.stream << "    ";
        log.stream << line << '\n';
        first = false;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    log.stream.flush();
}

void FinishRunLog(Outcome outcome) {
    auto &log = Log();
    if (log.finished) return;
    if (log.stream.is_open()) {
        log.stream << "outcome: " << OutcomeText(outcome) << '\n';
        log.stream.flush();
        log.stream.close();
    }
    log.finished = true;
}

RunEvents &Events() { return g_events; }

Outcome InferOutcome(const RunEvents &events) {
    if (events.completionShown) return events.spoolerErrorShown ? Outcome::InstalledWithErrors : Outcome::Installed;
    if (events.quitConfirmed) return Outcome::Quit;
    if (events.fatalShown || events.dialogShown) return Outcome::Fatal;
    return Outcome::NotStarted;
}

void NoteMessageBox(std::string_view text, std::string_view caption) {
    if (text == "Installation complete." && caption == "Setup complete") {
        g_events.completionShown = true;
    } else if (caption == "Deleting Plotter Driver" || caption == "Add Plotter Driver" || caption == "Add Plotter") {
        g_events.spoolerErrorShown = true;
    }
}

void ResetRunLog() {
    auto &log = Log();
    if (log.stream.is_open()) log.stream.close();
    log.finished = false;
    g_events = RunEvents{};
}

}  // namespace orv::toolkit
