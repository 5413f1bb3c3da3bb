// Answer files: what they say, the faults they are refused for (naming file, line and
// key), and the round trip of recorded answers through the written form.
#include <gtest/gtest.h>

#include "host/toolkit/answer_file.h"

namespace {

using namespace orv::toolkit;

TEST(AnswerFile, ReadsTheDocumentedExample) {
    const char *text =
        "[Welcome]                 ; dialog 100\n"
        "Events=CONTINUE\n"
        "[plotter]                 ; dialog 850\n"
        "Model=ORV Linecraft 81224 ; one of the listed model names\n"
        "Port=LPT1:                ; one of the listed ports\n"
        "SpoolDirectory=C:\\WINNT\\spool\\printers\n"
        "DEFAULTPRINTER=Yes        ; yes or no\n"
        "events=continue, back ,CANCEL\n"
        "[DriverKind]              ; dialog 800\n"
        "Driver=raster             ; vector or raster\n"
        "[InstalledDriver]         ; dialog 908\n"
        "Action=keep              ; keep or replace\n"
        "[CreateSpoolDirectory]    ; dialog 6400\n"
        "[Confirm]                 ; dialog 101\n"
        "[Quit]                    ; dialog 200\n";
    AnswerFile answers;
    std::string error;
    ASSERT_TRUE(ParseAnswerFile(text, "a.ini", answers, error)) << error;
    const DialogAnswers *plotter = answers.Find(850);
    ASSERT_NE(plotter, nullptr);
    EXPECT_EQ(plotter->model.For(1), "ORV Linecraft 81224");
    EXPECT_EQ(plotter->port.For(7), "LPT1:");
    EXPECT_EQ(plotter->spoolDirectory.For(1), "C:\\WINNT\\spool\\printers");
    EXPECT_EQ(plotter->defaultPrinter.For(1), true);
    EXPECT_EQ(plotter->EventFor(1), DialogEvent::Continue);
    EXPECT_EQ(plotter->EventFor(2), DialogEvent::Back);
    EXPECT_EQ(plotter->EventFor(3), DialogEvent::Cancel);
    EXPECT_EQ(plotter->EventFor(40), DialogEvent::Cancel) << "the last event repeats";
    EXPECT_EQ(answers.Find(800)->button.For(1), 2);
    EXPECT_EQ(answers.Find(908)->button.For(1), 1);
    EXPECT_EQ(answers.Find(6400)->EventFor(1), DialogEvent::Continue);
    EXPECT_EQ(answers.Find(200)->EventFor(1), DialogEvent::Exit) << "the quit dialog's default is EXIT";
    EXPECT_EQ(answers.Find(400), nullptr);
}

TEST(AnswerFile, ValuesForLaterShowingsAndQuotedValues) {
    const char *text =
        "[Plotter]\n"
        "Model=ORV Quillon 2110\n"
        "Model.3=\"\"\n"
        "SpoolDirectory=\" C:\\odd;dir \"  ; quoted keeps blanks and semicolons\n"
        "Port=\n";
    AnswerFile answers;
    std::string error;
    ASSERT_TRUE(ParseAnswerFile(text, "a.ini", answers, error)) << error;
    const DialogAnswers *plotter = answers.Find(850);
    EXPECT_EQ(plotter->model.For(2), "ORV Quillon 2110");
    EXPECT_EQ(plotter->model.For(3), "");
    EXPECT_EQ(plotter->model.For(9), "");
    EXPECT_EQ(plotter->spoolDirectory.For(1), " C:\\odd;dir ");
    EXPECT_FALSE(plotter->port.For(1).has_value()) << "an empty value keeps the preset";
}

TEST(AnswerFile, FaultsNameTheFileLineAndKey) {
    struct Case {
        const char *text;
        const char *expected;
    };
    const Case cases[] = {
        {"Events=CONTINUE\n", "a.ini, line 1: key Events comes before any section"},
        {"[Welcome]\n[Nowhere]\n", "a.ini, line 2: unknown section [Nowhere]"},
        {"[Welcome]\n[welcome]\n", "a.ini, line 2: section [welcome] is given twice"},
        {"[Welcome\n", "a.ini, line 1: the section header has no closing ']'"},
        {"[Welcome]\nModel=x\n", "a.ini, line 2: unknown key Model in section [Welcome]"},
        {"[Plotter]\nColour=red\n", "a.ini, line 2: unknown key Colour in section [Plotter]"},
        {"[Plotter]\njust text\n", "a.ini, line 2: expected key=value or [section], found 'just text'"},
        {"[Plotter]\nDefaultPrinter=maybe\n", "a.ini, line 2: key DefaultPrinter: 'maybe' is not yes or no"},
        {"[DriverKind]\nDriver=laser\n", "a.ini, line 2: key Driver: 'laser' is not vector or raster"},
        {"[InstalledDriver]\nAction=update\n", "a.ini, line 2: key Action: 'update' is not keep or replace"},
        {"[Welcome]\nEvents=CONTINUE,,BACK\n", "a.ini, line 2: key Events: '' is not an event"},
        {"[Welcome]\nEvents=GO\n", "a.ini, line 2: key Events: 'GO' is not an event"},
        {"[Welcome]\nEvents=BACK\nEvents=EXIT\n", "a.ini, line 3: key Events is given twice"},
        {"[Plotter]\nModel=a\nmodel=b\n", "a.ini, line 3: key Model is given twice"},
        {"[Plotter]\nModel.0=a\n", "a.ini, line 2: key Model.0: the showing after '.' must be a number"},
        {"[Plotter]\nModel.x=a\n", "a.ini, line 2: key Model.x: the showing after '.' must be a number"},
        {"[Welcome]\nEvents.2=BACK\n", "a.ini, line 2: key Events.2: Events takes no showing number"},
        {"[Plotter]\nPort=\"LPT1:\n", "a.ini, line 2: key Port: the quoted value has no closing quote"},
        {"[Plotter]\nPort=\"LPT1:\" x\n", "a.ini, line 2: key Port: text after the quoted value"},
        {"[Plotter]\nModel=a\tb\n", "a.ini, line 2: key Model: the value holds a control character"},
    };
    for (const auto &c : cases) {
        AnswerFile answers;
        std::string error;
        EXPECT_FALSE(ParseAnswerFile(c.text, "a.ini", answers, error)) << c.text;
        EXPECT_EQ(error.substr(0, std::string_view(c.expected).size()), c.expected) << error;
    }
    AnswerFile answers;
    std::string error;
    std::string longDirectory = "[Plotter]\nSpoolDirectory=C:\\" + std::string(297, 'x') + "\n";
    EXPECT_FALSE(ParseAnswerFile(longDirectory, "a.ini", answers, error));
    EXPECT_NE(error.find("longer than 298"), std::string::npos) << error;
}

TEST(AnswerFile, AMissingFileIsAClearError) {
    AnswerFile answers;
    std::string error;
    EXPECT_FALSE(LoadAnswerFile("/nonexistent/answers.ini", answers, error));
    EXPECT_NE(error.find("/nonexistent/answers.ini"), std::string::npos) << error;
}

TEST(AnswerFile, RecordedAnswersSurviveTheWrittenForm) {
    AnswerRecorder recorder;
    SymbolStore symbols;
    const DialogDefinition &plotter = *FindDialog(850);
    const DialogDefinition &driver = *FindDialog(800);
    const DialogDefinition &welcome = *FindDialog(100);
    recorder.Record(welcome, 1, symbols, DialogEvent::Back);
    recorder.Record(welcome, 2, symbols, DialogEvent::Continue);
    auto answerPlotter = [&](const char *model, const char *port, const char *spool, bool on, int number) {
        symbols.SetValue(kSymModelOut, model);
        symbols.SetList(kSymPortOut, {port});
        symbols.SetList(kSymSpoolOut, {spool});
        symbols.SetList(kSymCheckState, {on ? "ON" : "OFF"});
        recorder.Record(plotter, number, symbols, DialogEvent::Continue);
    };
    answerPlotter("ORV Linecraft 81224", "LPT1:", "C:\\WINNT\\spool\\printers", true, 1);
    answerPlotter("", "COM2:", " C:\\a;b ", false, 2);
    answerPlotter("", "COM2:", " C:\\a;b ", false, 3);
    symbols.SetValue(kSymButtonChecked, "1");
    recorder.Record(driver, 1, symbols, DialogEvent::Back);

    std::string text = FormatAnswerFile(recorder.Answers());
    AnswerFile replay;
    std::string error;
    ASSERT_TRUE(ParseAnswerFile(text, "saved.ini", replay, error)) << error << "\n" << text;
    const DialogAnswers *saved = replay.Find(850);
    ASSERT_NE(saved, nullptr);
    for (int number = 1; number <= 4; ++number) {
        const DialogAnswers &original = *recorder.Answers().Find(850);
        EXPECT_EQ(saved->model.For(number), original.model.For(number)) << number;
        EXPECT_EQ(saved->port.For(number), original.port.For(number)) << number;
        EXPECT_EQ(saved->spoolDirectory.For(number), original.spoolDirectory.For(number)) << number;
        EXPECT_EQ(saved->defaultPrinter.For(number), original.defaultPrinter.For(number)) << number;
    }
    EXPECT_EQ(saved->model.For(3), "");
    EXPECT_EQ(replay.Find(100)->EventFor(1), DialogEvent::Back);
    EXPECT_EQ(replay.Find(100)->EventFor(2), DialogEvent::Continue);
    EXPECT_EQ(replay.Find(800)->button.For(1), 1);
    EXPECT_EQ(replay.Find(800)->EventFor(1), DialogEvent::Back);
}

}  // namespace
