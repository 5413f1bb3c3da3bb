// orvalen-setup run unattended on fresh workstations: the exit status and the log's
// last line for each outcome, the messages of bad start-ups, and an answer file saved
// by one run replaying the same dialogs and answers in another.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

#ifndef ORVALEN_MACHINE
#define ORVALEN_MACHINE ""
#endif

#define REQUIRE_MACHINE_TOOL() \
    if (std::string(ORVALEN_MACHINE).empty()) GTEST_SKIP() << "orvalen-machine is not built"

std::string ReadText(const fs::path &file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

void WriteText(const fs::path &file, const std::string &text) { std::ofstream(file, std::ios::binary) << text; }

std::string LastLine(const std::string &text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    std::size_t at = trimmed.rfind('\n');
    return at == std::string::npos ? trimmed : trimmed.substr(at + 1);
}

std::vector<std::string> DialogLines(const std::string &log) {
    std::vector<std::string> lines;
    std::istringstream stream(log);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind("dialog ", 0) == 0) lines.push_back(line);
    }
    return lines;
}

class Outcome : public ::testing::Test {
protected:
    fs::path root;
    std::string stderrText;

    void SetUp() override {
        char pattern[] = "/tmp/orv-outcome-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path Answers(const std::string &name, const std::string &text) {
        fs::path file = root / name;
        WriteText(file, text);
        return file;
    }

    // Runs a command with stdin from /dev/null; answers its exit status.
    int Run(const std::string &command, const std::string &output = "/dev/null") {
        fs::path errors = root / "stderr.txt";
        std::string line = command + " </dev/null 2>\"" + errors.string() + "\" >\"" + output + "\"";
        int status = std::system(line.c_str());
        stderrText = ReadText(errors);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int Setup(const std::string &options, const std::string &machine = "m", const std::string &log = "log.txt") {
        return Run(std::string("\"") + ORVALEN_SETUP + "\" --machine \"" + (root / machine).string() + "\" --log \"" +
                   (root / log).string() + "\" " + options);
    }

    std::string Log(const std::string &log = "log.txt") { return ReadText(root / log); }
};

TEST_F(Outcome, InstalledWithTheSampleAnswers) {
    EXPECT_EQ(Setup(std::string("--answers \"") + SAMPLE_ANSWERS + "\""), 0) << stderrText;
    std::string log = Log();
    EXPECT_EQ(LastLine(log), "outcome: installed");
    EXPECT_NE(log.find("message box [Setup complete]: Installation complete."), std::string::npos);
    EXPECT_NE(log.find("copied A:\\IRCOL_RS.DRV -> C:\\WINNT\\system32\\IRCOL_RS.DRV"), std::string::npos);
    EXPECT_NE(log.find("profile WIN.INI: [ORV Linecraft 81224,LPT1] source=2"), std::string::npos);
    // The spooler's changes are logged as they happen, between the copy and the
    // profile entries.
    std::size_t driverAdded = log.find("spooler: driver ORV Linecraft 81224 added: C:\\WINNT\\system32\\IRCOL_RS.drv");
    std::size_t printerAdded = log.find(
        "spooler: printer ORV Linecraft 81224 added on LPT1: with driver ORV Linecraft 81224, the default printer");
    ASSERT_NE(driverAdded, std::string::npos) << log;
    ASSERT_NE(printerAdded, std::string::npos) << log;
    EXPECT_LT(log.find("copied A:\\LC81224.PCF"), driverAdded);
    EXPECT_LT(driverAdded, printerAdded);
    EXPECT_LT(printerAdded, log.find("profile WIN.INI: removed"));

    // A second run replaces both: the old printer and driver are deleted first.
    EXPECT_EQ(Setup(std::string("--answers \"") + SAMPLE_ANSWERS + "\"", "m", "again.txt"), 0) << stderrText;
    std::string again = Log("again.txt");
    std::size_t printerDeleted = again.find("spooler: printer ORV Linecraft 81224 deleted");
    std::size_t driverDeleted = again.find("spooler: driver ORV Linecraft 81224 deleted");
    ASSERT_NE(printerDeleted, std::string::npos) << again;
    ASSERT_NE(driverDeleted, std::string::npos) << again;
    EXPECT_LT(printerDeleted, driverDeleted);
    EXPECT_LT(driverDeleted, again.find("spooler: driver ORV Linecraft 81224 added"));
    REQUIRE_MACHINE_TOOL();
    EXPECT_EQ(Run(std::string("\"") + ORVALEN_MACHINE + "\" --machine \"" + (root / "m").string() + "\" printers --json",
                  (root / "printers.json").string()),
              0);
    std::string printers = ReadText(root / "printers.json");
    EXPECT_NE(printers.find("\"ORV Linecraft 81224\""), std::string::npos) << printers;
}

TEST_F(Outcome, QuitWhenTheUserConfirmsTheExit) {
    fs::path answers = Answers("quit.ini", "[Welcome]\nEvents=CANCEL\n[Quit]\nEvents=EXIT\n");
    EXPECT_EQ(Setup("--answers \"" + answers.string() + "\""), 2) << stderrText;
    EXPECT_EQ(LastLine(Log()), "outcome: quit");
}

TEST_F(Outcome, FatalWhenTheDiskHasNoSetupInfAndTheFatalDialogNamesIt) {
    fs::create_directories(root / "emptydisk");
    EXPECT_EQ(Setup("--unattended --disk \"" + (root / "emptydisk").string() + "\""), 3) << stderrText;
    std::string log = Log();
    EXPECT_EQ(LastLine(log), "outcome: fatal");
    EXPECT_NE(log.find("error: setup.inf was not found on the setup disk"), std::string::npos) << log;
    EXPECT_NE(log.find("dialog 400 (Fatal), showing 1: CONTINUE"), std::string::npos) << log;
}

TEST_F(Outcome, FatalWhenTheInfHasASyntaxError) {
    fs::create_directories(root / "baddisk");
    WriteText(root / "baddisk" / "setup.inf", "[Info]\ninf = \"ORVPLOT.INF\n");
    EXPECT_EQ(Setup("--unattended --disk \"" + (root / "baddisk").string() + "\""), 3) << stderrText;
    std::string log = Log();
    EXPECT_NE(log.find("error: A:\\setup.inf, line 2: a quoted field has no closing quote"), std::string::npos) << log;
    EXPECT_EQ(LastLine(log), "outcome: fatal");
}

TEST_F(Outcome, FatalWhenAnAnswerIsNotListedOrTheAnswersNeverFinish) {
    fs::path unlisted = Answers("unlisted.ini", "[Plotter]\nModel=ORV Nonesuch 1\n");
    EXPECT_EQ(Setup("--answers \"" + unlisted.string() + "\""), 3) << stderrText;
    std::string log = Log();
    EXPECT_NE(log.find("the model \"ORV Nonesuch 1\""), std::string::npos) << log;
    EXPECT_NE(log.find("\"ORV Linecraft 81224\""), std::string::npos) << "the message lists the choices";
    EXPECT_NE(stderrText.find("The error: dialog 850 [Plotter]: the model \"ORV Nonesuch 1\""), std::string::npos)
        << "an unattended run says on stderr why it stopped: " << stderrText;

    fs::path looping = Answers("loop.ini", "[Confirm]\nEvents=BACK\n");
    EXPECT_EQ(Setup("--answers \"" + looping.string() + "\"", "m2", "log2.txt"), 3) << stderrText;
    std::string loopLog = Log("log2.txt");
    EXPECT_NE(loopLog.find("never finish"), std::string::npos) << loopLog;
    EXPECT_EQ(LastLine(loopLog), "outcome: fatal");
}

TEST_F(Outcome, NotStartedForBadAnswersOrOptions) {
    fs::path bad = Answers("bad.ini", "[Welcome]\nEvents=CONTINUE\n[Plotter]\nDefaultPrinter=perhaps\n");
    EXPECT_EQ(Setup("--answers \"" + bad.string() + "\""), 1);
    EXPECT_NE(stderrText.find(bad.string() + ", line 4: key DefaultPrinter: 'perhaps' is not yes or no"), std::string::npos)
        << stderrText;
    EXPECT_EQ(LastLine(Log()), "outcome: not started");
    EXPECT_FALSE(fs::exists(root / "m" / "drives")) << "no dialog was shown and nothing installed";

    EXPECT_EQ(Setup("--unattended --colour"), 1);
    EXPECT_NE(stderrText.find("unknown option '--colour'"), std::string::npos) << stderrText;
    EXPECT_EQ(Setup("--answers \"" + (root / "absent.ini").string() + "\""), 1);
    EXPECT_NE(stderrText.find("absent.ini"), std::string::npos) << stderrText;
}

TEST_F(Outcome, AnInteractiveRunEndsWithZeroEvenWhenItCannotStart) {
    // stdin is not a terminal here, so the interactive front end cannot come up.
    EXPECT_EQ(Setup(""), 0);
    EXPECT_NE(stderrText.find("terminal"), std::string::npos) << stderrText;
    EXPECT_EQ(Setup("--colour"), 0);
    EXPECT_EQ(Run(std::string("\"") + ORVALEN_SETUP + "\" --help"), 0);
    EXPECT_EQ(Run(std::string("\"") + ORVALEN_SETUP + "\" --version"), 0);
}

TEST_F(Outcome, InstalledWithErrorsWhenASpoolerCallOfTheInstallationFails) {
    REQUIRE_MACHINE_TOOL();
    fs::path answers = Answers("again.ini", std::string("[Plotter]\nModel=ORV Linecraft 81224\n[InstalledDriver]\nAction=replace\n"));
    ASSERT_EQ(Setup("--answers \"" + answers.string() + "\""), 0) << stderrText;
    // A printer holding jobs is only marked for deletion, so its driver stays in use.
    ASSERT_EQ(Run(std::string("\"") + ORVALEN_MACHINE + "\" --machine \"" + (root / "m").string() +
                  "\" jobs hold \"ORV Linecraft 81224\" 2"),
              0)
        << stderrText;
    EXPECT_EQ(Setup("--answers \"" + answers.string() + "\"", "m", "log2.txt"), 4) << stderrText;
    std::string log = Log("log2.txt");
    EXPECT_NE(log.find("message box [Deleting Plotter Driver]"), std::string::npos) << log;
    EXPECT_EQ(LastLine(log), "outcome: installed with errors");
}

TEST_F(Outcome, SavedAnswersReplayTheSameDialogsAndAnswers) {
    // Back from the confirmation to choose again: the plotter dialog is answered twice,
    // differently.
    fs::path first = Answers("first.ini",
                             "[Welcome]\nEvents=BACK,CANCEL,CONTINUE\n"
                             "[WelcomeBack]\n"
                             "[Quit]\nEvents=CONTINUE\n"
                             "[Plotter]\nModel=ORV Quillon 2110\nPort=COM2:\nDefaultPrinter=no\n"
                             "Model.2=ORV Linecraft 81236\nPort.2=LPT2:\nSpoolDirectory.2=C:\\WINNT\\spool\\orv\n"
                             "[DriverKind]\nDriver=vector\n"
                             "[Confirm]\nEvents=BACK,CONTINUE\n");
    fs::path saved = root / "saved.ini";
    ASSERT_EQ(Setup("--answers \"" + first.string() + "\" --save-answers \"" + saved.string() + "\"", "m1", "log1.txt"), 0)
        << stderrText;
    ASSERT_TRUE(fs::exists(saved));
    ASSERT_EQ(Setup("--answers \"" + saved.string() + "\"", "m2", "log2.txt"), 0) << stderrText << ReadText(saved);
    std::vector<std::string> original = DialogLines(Log("log1.txt"));
    EXPECT_GE(original.size(), 9u);
    EXPECT_EQ(DialogLines(Log("log2.txt")), original) << ReadText(saved);
}

}  // namespace
