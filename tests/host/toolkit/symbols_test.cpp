// The symbol store through the toolkit's calls: values, lists counted from 1, and
// lengths answered in full when the caller's buffer is too small.
#include <gtest/gtest.h>

#include "host/toolkit/symbols.h"
#include "platform/toolkit.h"

namespace {

class SymbolCalls : public ::testing::Test {
protected:
    void SetUp() override { orv::toolkit::Symbols().Clear(); }
};

TEST_F(SymbolCalls, ValueTooLongForTheBufferAnswersItsFullLengthAndCopiesWhatFits) {
    ASSERT_TRUE(FSetSymbolValue("STF_SRCDIR", "A:\\DISK1\\"));
    char small[5] = "xxxx";
    EXPECT_EQ(CbGetSymbolValue("STF_SRCDIR", small, sizeof small), 9);
    EXPECT_STREQ(small, "A:\\D");
    char exact[10];
    EXPECT_EQ(CbGetSymbolValue("STF_SRCDIR", exact, sizeof exact), 9);
    EXPECT_STREQ(exact, "A:\\DISK1\\");
    // Names compare exactly.
    EXPECT_EQ(CbGetSymbolValue("stf_srcdir", exact, sizeof exact), 0);
    EXPECT_STREQ(exact, "");
}

TEST_F(SymbolCalls, ListsCountFromOneAndReplaceOnlyExistingItems) {
    ASSERT_TRUE(FAddListItem("Ports", "LPT1:"));
    ASSERT_TRUE(FAddListItem("Ports", "COM1:"));
    EXPECT_EQ(UsGetListLength("Ports"), 2);
    char buffer[16];
    EXPECT_EQ(CbGetListItem("Ports", 1, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "LPT1:");
    EXPECT_EQ(CbGetListItem("Ports", 0, buffer, sizeof buffer), 0);
    EXPECT_EQ(CbGetListItem("Ports", 3, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");

    EXPECT_TRUE(FReplaceListItem("Ports", 2, "FILE:"));
    EXPECT_FALSE(FReplaceListItem("Ports", 3, "COM2:"));
    EXPECT_FALSE(FReplaceListItem("Missing", 1, "x"));
    char item[3];
    EXPECT_EQ(CbGetListItem("Ports", 2, item, sizeof item), 5);
    EXPECT_STREQ(item, "FI");

    EXPECT_EQ(CbGetSymbolValue("Ports", buffer, sizeof buffer), 17);
    EXPECT_STREQ(buffer, "{\"LPT1:\",\"FILE:");
}

TEST_F(SymbolCalls, RemovingAndRebuildingAListStartsItAfresh) {
    FAddListItem("CheckItemsState", "ON");
    EXPECT_TRUE(FRemoveSymbol("CheckItemsState"));
    EXPECT_TRUE(FRemoveSymbol("CheckItemsState"));  // already gone: no failure
    EXPECT_EQ(UsGetListLength("CheckItemsState"), 0);
    FAddListItem("CheckItemsState", "OFF");
    EXPECT_EQ(UsGetListLength("CheckItemsState"), 1);
    // A value symbol set over a list replaces it whole.
    FSetSymbolValue("CheckItemsState", "ON");
    EXPECT_EQ(UsGetListLength("CheckItemsState"), 1);
}

TEST_F(SymbolCalls, MissingOrEmptyNamesAreRefused) {
    char buffer[4] = "abc";
    EXPECT_FALSE(FSetSymbolValue(nullptr, "x"));
    EXPECT_FALSE(FSetSymbolValue("", "x"));
    EXPECT_FALSE(FAddListItem("", "x"));
    EXPECT_FALSE(FRemoveSymbol(nullptr));
    EXPECT_EQ(CbGetSymbolValue(nullptr, buffer, sizeof buffer), 0);
    EXPECT_EQ(UsGetListLength(nullptr), 0);
    // A null buffer still answers the length.
    FSetSymbolValue("A", "four");
    EXPECT_EQ(CbGetSymbolValue("A", nullptr, 0), 4);
}

}  // namespace
