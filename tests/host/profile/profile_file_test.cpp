// Profile file semantics: names without regard to case, kept lines, absent files
// and sections, and changes that two processes make at once or that a killed
// process leaves behind.
#include "host/profile/profile_file.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using orv::profile::path;

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orv-profile-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        file_ = folder_ / "WIN.INI";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void Put(const std::string& text)
    {
        std::ofstream out(file_, std::ios::binary);
        out << text;
    }
    std::string Get() const
    {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    path folder_;
    path file_;
};

TEST_F(ProfileFileTest, ReadsIgnoreCaseAndAnswerNothingWhenAbsent)
{
    EXPECT_FALSE(orv::profile::ReadKey(file_, "windows", "device"));
    EXPECT_TRUE(orv::profile::SectionNames(file_).empty());

    Put("; printers\r\n[Windows]\r\n  Device = Plot,winspool,LPT1:  \r\nload=\r\n;x=commented\r\nnoequals\r\n\r\n"
        "[Ports]\r\nLPT1:=\r\n");
    EXPECT_EQ(orv::profile::ReadKey(file_, "WINDOWS", "device"), "Plot,winspool,LPT1:");
    EXPECT_EQ(orv::profile::ReadKey(file_, "windows", "LOAD"), "");
    EXPECT_FALSE(orv::profile::ReadKey(file_, "windows", ";x"));
    EXPECT_FALSE(orv::profile::ReadKey(file_, "windows", "missing"));
    EXPECT_FALSE(orv::profile::ReadKey(file_, "devices", "device"));
    EXPECT_TRUE(orv::profile::SectionExists(file_, "ports"));
    EXPECT_TRUE(orv::profile::KeyExists(file_, "Ports", "lpt1:"));
    EXPECT_EQ(orv::profile::SectionNames(file_), (std::vector<std::string>{"Windows", "Ports"}));
    auto entries = orv::profile::ReadSection(file_, "windows");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (orv::profile::KeyValue{"Device", "Plot,winspool,LPT1:"}));
    EXPECT_EQ(entries[1], (orv::profile::KeyValue{"load", ""}));
}

TEST_F(ProfileFileTest, ChangesKeepCommentsOrderAndLineEndings)
{
    Put("; top comment\r\n[windows]\r\nload=\r\n; keep me\r\nDevice=old\r\n\r\n[Other]\r\nunknown line\r\n");
    std::string error;
    ASSERT_TRUE(orv::profile::WriteKey(file_, "Windows", "device", "new", error)) << error;
    ASSERT_TRUE(orv::profile::WriteKey(file_, "WINDOWS", "spooler", "yes", error)) << error;
    ASSERT_TRUE(orv::profile::WriteKey(file_, "Added", "Key", "v", error)) << error;
    EXPECT_EQ(Get(), "; top comment\r\n[windows]\r\nload=\r\n; keep me\r\nDevice=new\r\nspooler=yes\r\n\r\n"
                     "[Other]\r\nunknown line\r\n\r\n[Added]\r\nKey=v\r\n");

    ASSERT_TRUE(orv::profile::RemoveKey(file_, "windows", "LOAD", error)) << error;
    ASSERT_TRUE(orv::profile::RemoveSection(file_, "other", error)) << error;
    ASSERT_TRUE(orv::profile::RemoveSection(file_, "never there", error)) << error;
    ASSERT_TRUE(orv::profile::RemoveKey(file_, "never there", "k", error)) << error;
    EXPECT_EQ(Get(), "; top comment\r\n[windows]\r\n; keep me\r\nDevice=new\r\nspooler=yes\r\n\r\n[Added]\r\nKey=v\r\n");
}

TEST_F(ProfileFileTest, UnixLineEndingsStayUnixAndNewFilesAreCreated)
{
    std::string error;
    ASSERT_TRUE(orv::profile::RemoveSection(file_, "x", error));
    EXPECT_FALSE(std::filesystem::exists(file_)) << "removing from a missing file creates nothing";
    ASSERT_TRUE(orv::profile::WriteKey(file_, "s", "k", "v", error)) << error;
    EXPECT_EQ(Get(), "[s]\r\nk=v\r\n");

    Put("[s]\nk=v\n");
    ASSERT_TRUE(orv::profile::WriteKey(file_, "s", "k2", "w", error)) << error;
    EXPECT_EQ(Get(), "[s]\nk=v\nk2=w\n");
}

TEST_F(ProfileFileTest, ReplaceSectionKeepsCommentsAndSeparator)
{
    Put("[a]\n; note\nx=1\ny=2\n\n[b]\nz=3\n");
    std::string error;
    ASSERT_TRUE(orv::profile::ReplaceSection(file_, "A", {{"p", "q"}}, error)) << error;
    EXPECT_EQ(Get(), "[a]\n; note\np=q\n\n[b]\nz=3\n");
}

TEST_F(ProfileFileTest, MissingFolderIsAnErrorNamingTheFile)
{
    std::string error;
    path file = folder_ / "no-such-folder" / "WIN.INI";
    EXPECT_FALSE(orv::profile::WriteKey(file, "s", "k", "v", error));
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
}

TEST_F(ProfileFileTest, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int keysPerProcess = 150;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            std::string error;
            for (int i = 0; i < keysPerProcess; ++i)
                if (!orv::profile::WriteKey(file_, "shared", "p" + std::to_string(child) + "k" + std::to_string(i),
                                            std::to_string(i), error))
                    ::_exit(1);
            ::_exit(0);
        }
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(orv::profile::ReadSection(file_, "shared").size(), 2u * keysPerProcess);
}

TEST_F(ProfileFileTest, KilledWriterLeavesTheOldOrTheNewFile)
{
    // The writer rewrites a large section where every value carries the round; a
    // file torn by the kill would mix rounds or lose keys.
    constexpr int keys = 2000;
    for (int attempt = 0; attempt < 5; ++attempt) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::string error;
            for (int round = 0;; ++round) {
                std::vector<orv::profile::KeyValue> entries;
                for (int i = 0; i < keys; ++i)
                    entries.emplace_back("key" + std::to_string(i), "round" + std::to_string(round));
                orv::profile::ReplaceSection(file_, "big", entries, error);
            }
        }
        ::usleep(20000 + attempt * 15000);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        auto entries = orv::profile::ReadSection(file_, "big");
        if (entries.empty()) continue;  // killed before the first change
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(keys));
        for (const auto& entry : entries) ASSERT_EQ(entry.second, entries.front().second);
    }
}

}  // namespace
