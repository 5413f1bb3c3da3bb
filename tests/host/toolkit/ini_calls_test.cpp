// The INI calls on a temporary workstation: bare names in the Windows directory,
// names without regard to case, kept lines, and two processes changing one file.
#include <sys/wait.h>
#include <unistd.h>

#include "toolkit_fixture.h"

namespace {

using namespace orv::toolkit;
using namespace orv::toolkit::testing;

class IniCalls : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        StartFrame();
    }
};

TEST_F(IniCalls, ABareNameLivesInTheWindowsDirectoryAndNamesIgnoreCase) {
    WriteText(Host("C:\\WINNT\\WIN.INI"), "; kept comment\r\n[windows]\r\nload=\r\n[IRCOL_RS]\r\nold=1\r\nunknown line\r\n");
    ASSERT_TRUE(FCreateIniKeyValue("WIN.INI", "ircol_rs", "installDir", "C:\\WINNT\\system32", 1024));
    ASSERT_TRUE(FCreateIniKeyValue("win.ini", "IRCOL_RS", "INSTALLDIR", "D:\\again", 1024));
    char buffer[64];
    EXPECT_EQ(CbGetIniKeyString("WIN.INI", "Ircol_Rs", "installdir", buffer, sizeof buffer), 8);
    EXPECT_STREQ(buffer, "D:\\again");
    char small[4];
    EXPECT_EQ(CbGetIniKeyString("WIN.INI", "IRCOL_RS", "installDir", small, sizeof small), 8);
    EXPECT_EQ(CbGetIniKeyString("WIN.INI", "IRCOL_RS", "absent", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(FDoesIniSectionExist("WIN.INI", "WINDOWS"));
    EXPECT_TRUE(FDoesIniKeyExist("WIN.INI", "ircol_rs", "OLD"));
    std::string text = ReadText(Host("C:\\WINNT\\WIN.INI"));
    EXPECT_NE(text.find("; kept comment"), std::string::npos);
    EXPECT_NE(text.find("unknown line"), std::string::npos);
    EXPECT_LT(text.find("[windows]"), text.find("[IRCOL_RS]")) << "order is kept";

    EXPECT_TRUE(FRemoveIniKey("WIN.INI", "IRCOL_RS", "old", 0));
    EXPECT_FALSE(FDoesIniKeyExist("WIN.INI", "IRCOL_RS", "old"));
    EXPECT_TRUE(FRemoveIniSection("WIN.INI", "ircol_rs", 0));
    EXPECT_TRUE(FRemoveIniSection("WIN.INI", "ORV Linecraft 81224,LPT1", 0)) << "removing a missing section succeeds";
    EXPECT_FALSE(FDoesIniSectionExist("WIN.INI", "IRCOL_RS"));
    // A full path is used as it stands.
    ASSERT_TRUE(FCreateIniKeyValue("C:\\other.ini", "s", "k", "v", 0));
    EXPECT_NE(ReadText(Host("C:\\other.ini")).find("k=v"), std::string::npos);
    EXPECT_FALSE(FCreateIniKeyValue("A:\\setup.ini", "s", "k", "v", 0)) << "the setup disk is read-only";
}

TEST_F(IniCalls, TwoProcessesChangingOneFileLoseNothing) {
    constexpr int kKeys = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            bool ok = true;
            for (int i = 0; i < kKeys; ++i) {
                std::string key = "key" + std::to_string(child) + "_" + std::to_string(i);
                ok = FCreateIniKeyValue("WIN.INI", "Shared", key.c_str(), "v", 1024) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int child = 0; child < 2; ++child) {
        for (int i = 0; i < kKeys; ++i) {
            std::string key = "key" + std::to_string(child) + "_" + std::to_string(i);
            EXPECT_TRUE(FDoesIniKeyExist("WIN.INI", "Shared", key.c_str())) << key;
        }
    }
}

}  // namespace
