// Whole installations: orvalen-setup run unattended from answer files on fresh
// temporary workstations, checked with orvalen-machine and the workstation's files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Section = std::map<std::string, std::string>;
using Profile = std::map<std::string, Section>;

// Exit statuses of an unattended run.
constexpr int Installed = 0;
constexpr int Quit = 2;
constexpr int Fatal = 3;
constexpr int InstalledWithErrors = 4;

std::string Quoted(const std::string &argument) {
    std::string quoted = "'";
    for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Result {
    int status = -1;
    std::string out;
};

// Runs a program with its arguments; stdout is captured, stderr goes to `errFile`.
Result RunProgram(const std::vector<std::string> &command, const fs::path &errFile) {
    std::string line;
    for (const std::string &argument : command) line += Quoted(argument) + " ";
    line += "2>" + Quoted(errFile.string());
    Result result;
    FILE *pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A temporary directory with a workstation, answer files, logs and, when a test needs
// one, its own setup disk.
class Installation : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orv-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        machine_ = root_ / "machine";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Runs the setup with `answers` and returns its exit status; the log of the run is
    // in lastLog_.
    int Setup(const std::string &answers, const fs::path &disk = ORV_SAMPLE_DISK) {
        ++runs_;
        const fs::path answerFile = root_ / ("answers" + std::to_string(runs_) + ".ini");
        const fs::path logFile = root_ / ("setup" + std::to_string(runs_) + ".log");
        std::ofstream(answerFile) << answers;
        const Result result = RunProgram({ORV_SETUP_EXE, "--unattended", "--answers", answerFile.string(), "--machine",
                                   machine_.string(), "--disk", disk.string(), "--log", logFile.string()},
                                  root_ / "setup.err");
        lastLog_ = ReadFile(logFile);
        return result.status;
    }

    std::string Machine(const std::vector<std::string> &arguments, int *status = nullptr) {
        std::vector<std::string> command = {ORV_MACHINE_EXE, "--machine", machine_.string()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const Result result = RunProgram(command, root_ / "machine.err");
        if (status != nullptr) *status = result.status;
        return result.out;
    }

    Json Printers() { return Json::parse(Machine({"printers", "--json"})); }
    Json Drivers() { return Json::parse(Machine({"drivers", "--json"})); }

    Profile WinIni() {
        Profile profile;
        std::istringstream lines(Machine({"ini", "WIN.INI"}));
        std::string line;
        std::string section;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();  // the file keeps CRLF lines
            if (line.empty()) continue;
            if (line.front() == '[' && line.back() == ']') {
                section = line.substr(1, line.size() - 2);
                profile[section];
            } else if (const auto equals = line.find('='); equals != std::string::npos) {
                profile[section][line.substr(0, equals)] = line.substr(equals + 1);
            }
        }
        return profile;
    }

    // The names listed by "ls" of a Windows folder of the workstation.
    std::vector<std::string> Listing(const std::string &folder) {
        std::vector<std::string> names;
        std::istringstream lines(Machine({"ls", folder}));
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) names.push_back(line.substr(0, line.find("  ")));
        }
        return names;
    }

    bool LogHas(const std::string &text) const { return lastLog_.find(text) != std::string::npos; }
    std::string LastLogLine() const {
        std::string text = lastLog_;
        while (!text.empty() && text.back() == '\n') text.pop_back();
        return text.substr(text.rfind('\n') + 1);
    }

    // A copy of the sample disk whose setup.inf `edit` may change.
    fs::path OwnDisk() {
        const fs::path disk = root_ / "disk";
        fs::create_directories(disk);
        for (const auto &entry : fs::directory_iterator(ORV_SAMPLE_DISK)) {
            fs::copy_file(entry.path(), disk / entry.path().filename());
        }
        return disk;
    }

    fs::path root_;
    fs::path machine_;
    std::string lastLog_;
    int runs_ = 0;
};

bool Contains(const std::vector<std::string> &names, const std::string &name) {
    for (const std::string &candidate : names) {
        if (candidate == name) return true;
    }
    return false;
}

const char *const kSystem32 = "C:\\WINNT\\system32";

TEST_F(Installation, VectorOnlyModel) {
    ASSERT_EQ(Setup("[Plotter]\nModel=ORV Quillon 2115\nPort=LPT2:\nDefaultPrinter=no\n"), Installed) << lastLog_;
    EXPECT_EQ(LastLogLine(), "outcome: installed");
    EXPECT_FALSE(LogHas("dialog 800"));   // no driver to choose
    EXPECT_FALSE(LogHas("dialog 6400"));  // the vector driver needs no spool directory

    const Json printers = Printers();
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0]["name"], "ORV Quillon 2115");
    EXPECT_EQ(printers[0]["driver"], "ORV Quillon 2115");
    EXPECT_EQ(printers[0]["port"], "LPT2:");
    EXPECT_EQ(printers[0]["attributes"], 1);
    EXPECT_EQ(printers[0]["default"], false);

    const Json drivers = Drivers();
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0]["name"], "ORV Quillon 2115");
    for (const char *file : {"driverPath", "dataFile", "configFile"}) {
        EXPECT_EQ(drivers[0][file], std::string(kSystem32) + "\\ORV412.drv") << file;
    }

    const Profile ini = WinIni();
    ASSERT_TRUE(ini.count("ORV Quillon 2115,LPT2:"));
    EXPECT_EQ(ini.at("ORV Quillon 2115,LPT2:"), (Section{{"model", "1"}}));
    EXPECT_FALSE(ini.count("IRCOL_RS"));

    const std::vector<std::string> system32 = Listing(kSystem32);
    EXPECT_TRUE(Contains(system32, "ORV412.DRV"));
    EXPECT_TRUE(Contains(system32, "ORV412.HLP"));
    EXPECT_FALSE(Contains(system32, "IRCOL_RS.DRV"));
    EXPECT_TRUE(Contains(Listing("C:\\WINNT\\inf"), "ORVPLOT.INF"));
}

TEST_F(Installation, ModelWithBothDriversInstalledWithTheRasterDriver) {
    ASSERT_EQ(Setup("[Plotter]\nModel=ORV Linecraft 81224\nPort=LPT1:\n[DriverKind]\nDriver=raster\n"), Installed)
        << lastLog_;
    const Json printers = Printers();
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0]["name"], "ORV Linecraft 81224");
    EXPECT_EQ(printers[0]["driver"], "ORV Linecraft 81224");
    EXPECT_EQ(printers[0]["port"], "LPT1:");
    EXPECT_EQ(printers[0]["attributes"], 5);

    const Json drivers = Drivers();
    ASSERT_EQ(drivers.size(), 1u);
    for (const char *file : {"driverPath", "dataFile", "configFile"}) {
        EXPECT_EQ(drivers[0][file], std::string(kSystem32) + "\\IRCOL_RS.drv") << file;
    }

    const Profile ini = WinIni();
    EXPECT_EQ(ini.at("IRCOL_RS"), (Section{{"installDir", kSystem32},
                                           {"tmpdir", "C:\\WINNT\\spool\\printers\\"},
                                           {"gs_int", "1"}}));
    EXPECT_EQ(ini.at("ORV Linecraft 81224,LPT1"), (Section{{"source", "2"}}));
    EXPECT_TRUE(Contains(Listing(kSystem32), "LC81224.PCF"));
    EXPECT_TRUE(Contains(Listing(kSystem32), "IRCOLOR.DAT"));
}

TEST_F(Installation, ModelWithBothDriversInstalledWithTheVectorDriver) {
    ASSERT_EQ(Setup("[Plotter]\nModel=ORV Linecraft 81224\nPort=LPT1:\n[DriverKind]\nDriver=vector\n"), Installed)
        << lastLog_;
    const Json printers = Printers();
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0]["name"], "ORV Linecraft 81224 (412)");
    EXPECT_EQ(printers[0]["driver"], "ORV Linecraft 81224 (412)");
    EXPECT_EQ(printers[0]["port"], "LPT1:");

    const Json drivers = Drivers();
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0]["name"], "ORV Linecraft 81224 (412)");
    for (const char *file : {"driverPath", "dataFile", "configFile"}) {
        EXPECT_EQ(drivers[0][file], std::string(kSystem32) + "\\ORV412.drv") << file;
    }

    const Profile ini = WinIni();
    EXPECT_EQ(ini.at("ORV Linecraft 81224 (412),LPT1:"), (Section{{"model", "9"}}));
    EXPECT_FALSE(ini.count("IRCOL_RS"));
    EXPECT_FALSE(ini.count("ORV Linecraft 81224 (412),LPT1"));
    EXPECT_FALSE(Contains(Listing(kSystem32), "LC81224.PCF"));
}

TEST_F(Installation, SecondInstallationKeepsThenReplacesTheDriver) {
    const std::string plotter = "[Plotter]\nModel=ORV Statora 3325\nPort=COM1:\n";
    ASSERT_EQ(Setup(plotter), Installed) << lastLog_;
    EXPECT_FALSE(LogHas("dialog 908"));

    ASSERT_EQ(Setup(plotter + "[InstalledDriver]\nAction=keep\n"), Installed) << lastLog_;
    EXPECT_TRUE(LogHas("dialog 908 (InstalledDriver), showing 1: CONTINUE; button 1"));
    EXPECT_FALSE(LogHas("copied "));
    Json printers = Printers();
    ASSERT_EQ(printers.size(), 1u);  // the old printer made way for the new one
    EXPECT_EQ(printers[0]["name"], "ORV Statora 3325");
    EXPECT_EQ(printers[0]["port"], "COM1:");
    EXPECT_EQ(Drivers().size(), 1u);

    ASSERT_EQ(Setup(plotter + "[InstalledDriver]\nAction=replace\n"), Installed) << lastLog_;
    EXPECT_TRUE(LogHas("button 2"));
    EXPECT_TRUE(LogHas("ORV412.DRV"));  // the files are copied again
    EXPECT_EQ(Printers().size(), 1u);
    const Json drivers = Drivers();
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0]["driverPath"], std::string(kSystem32) + "\\ORV412.drv");
}

TEST_F(Installation, MissingSpoolDirectoryIsCreated) {
    ASSERT_EQ(Setup("[Plotter]\nModel=ORV InkRay Color 36\nSpoolDirectory=C:\\PLOTJOBS\n"
                    "[DriverKind]\nDriver=raster\n[CreateSpoolDirectory]\nEvents=CONTINUE\n"),
              Installed)
        << lastLog_;
    EXPECT_TRUE(LogHas("dialog 6400 (CreateSpoolDirectory), showing 1: CONTINUE"));
    EXPECT_TRUE(Contains(Listing("C:\\"), "PLOTJOBS\\"));
    EXPECT_EQ(WinIni().at("IRCOL_RS").at("tmpdir"), "C:\\PLOTJOBS\\");
    EXPECT_EQ(Printers().size(), 1u);
}

TEST_F(Installation, SpoolDirectoryThatCannotBeCreatedLeadsBackToThePlotterDialog) {
    // The parent does not exist, so the directory cannot be made; the second showing
    // of the plotter dialog takes a spool directory that can.
    ASSERT_EQ(Setup("[Plotter]\nModel=ORV InkRay Color 36\nSpoolDirectory=C:\\NO\\SUCH\\DIR\n"
                    "SpoolDirectory.2=C:\\JOBS\n[DriverKind]\nDriver=raster\n"),
              Installed)
        << lastLog_;
    EXPECT_TRUE(LogHas("[Create Directory]: Unable to create specified directory. Please specifiy a different "
                       "directory name."));
    EXPECT_TRUE(LogHas("dialog 850 (Plotter), showing 2"));
    EXPECT_EQ(WinIni().at("IRCOL_RS").at("tmpdir"), "C:\\JOBS\\");
}

TEST_F(Installation, DriverInUseIsReportedWithError3001) {
    const std::string answers = "[Plotter]\nModel=ORV Linecraft 81224\n[DriverKind]\nDriver=raster\n"
                                "[InstalledDriver]\nAction=replace\n";
    ASSERT_EQ(Setup(answers), Installed) << lastLog_;
    int status = -1;
    Machine({"jobs", "hold", "ORV Linecraft 81224"}, &status);
    ASSERT_EQ(status, 0);

    EXPECT_EQ(Setup(answers), InstalledWithErrors) << lastLog_;
    EXPECT_TRUE(LogHas("message box [Deleting Plotter Driver]: Error 3001 occured while deleting the plotter driver. "
                       "Try rebooting the system, and re-installing."));
    EXPECT_EQ(LastLogLine(), "outcome: installed with errors");
    // The installation went on: the profile entries were written again.
    EXPECT_EQ(WinIni().at("ORV Linecraft 81224,LPT1"), (Section{{"source", "2"}}));
}

TEST_F(Installation, BackFromTheConfirmationReturnsToThePlotterDialog) {
    ASSERT_EQ(Setup("[Plotter]\nModel=ORV Quillon 2110\nModel.2=ORV Hueline 4412\n[Confirm]\nEvents=BACK,CONTINUE\n"),
              Installed)
        << lastLog_;
    EXPECT_TRUE(LogHas("dialog 101 (Confirm), showing 1: BACK"));
    EXPECT_TRUE(LogHas("dialog 850 (Plotter), showing 2: CONTINUE; model=ORV Hueline 4412"));
    const Json printers = Printers();
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0]["name"], "ORV Hueline 4412");
}

TEST_F(Installation, CancelOrExitAtTheWelcomeInstallsNothing) {
    for (const char *event : {"CANCEL", "EXIT"}) {
        SCOPED_TRACE(event);
        EXPECT_EQ(Setup(std::string("[Welcome]\nEvents=") + event + "\n[Quit]\nEvents=EXIT\n"), Quit) << lastLog_;
        EXPECT_EQ(LastLogLine(), "outcome: quit");
        EXPECT_FALSE(LogHas("dialog 850"));
        EXPECT_TRUE(Printers().empty());
        EXPECT_TRUE(Drivers().empty());
        EXPECT_FALSE(Contains(Listing("C:\\WINNT\\inf"), "ORVPLOT.INF"));
    }
}

TEST_F(Installation, EmptyModelEntryEndsWithoutRegisteringAnything) {
    // An empty entry is the first empty slot: it has no driver kind of its own and no
    // model section to copy, so the copy list refuses it.
    EXPECT_EQ(Setup("[Plotter]\nModel=\"\"\n"), Fatal) << lastLog_;
    EXPECT_FALSE(LogHas("dialog 800"));
    EXPECT_TRUE(Printers().empty());
    EXPECT_TRUE(Drivers().empty());
}

TEST_F(Installation, DiskWithoutSetupInfIsFatal) {
    const fs::path disk = OwnDisk();
    fs::remove(disk / "setup.inf");
    EXPECT_EQ(Setup("[Plotter]\nModel=ORV Quillon 2110\n", disk), Fatal) << lastLog_;
    EXPECT_EQ(LastLogLine(), "outcome: fatal");
    EXPECT_TRUE(Printers().empty());
    EXPECT_TRUE(Drivers().empty());
}

TEST_F(Installation, SetupInfWithoutTheModelsSectionIsFatal) {
    const fs::path disk = OwnDisk();
    std::string inf = ReadFile(disk / "setup.inf");
    const std::size_t start = inf.find("[LC81224]");
    ASSERT_NE(start, std::string::npos);
    inf.replace(start, std::string("[LC81224]").size(), "[LC81224-GONE]");
    std::ofstream(disk / "setup.inf", std::ios::trunc) << inf;

    EXPECT_EQ(Setup("[Plotter]\nModel=ORV Linecraft 81224\n[DriverKind]\nDriver=raster\n", disk), Fatal) << lastLog_;
    EXPECT_EQ(LastLogLine(), "outcome: fatal");
    EXPECT_TRUE(Printers().empty());
    EXPECT_TRUE(Drivers().empty());
    EXPECT_FALSE(WinIni().count("IRCOL_RS"));
    EXPECT_FALSE(Contains(Listing(kSystem32), "IRCOL_RS.DRV"));  // nothing was copied

    // The same disk still serves the vector driver, which needs no model section.
    EXPECT_EQ(Setup("[Plotter]\nModel=ORV Linecraft 81224\n[DriverKind]\nDriver=vector\n", disk), Installed)
        << lastLog_;
}

}  // namespace
