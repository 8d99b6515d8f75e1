// The scripted "dialog" commands: the names and values they take, and the
// reasons they give when a reader could not have done the same.
#include <gtest/gtest.h>

#include "view/frm_config_fixture.h"

namespace zelk {
namespace {

using testing::FrmConfigTest;

TEST_F(FrmConfigTest, SetAndGetSpeakTheControlsValues) {
    Start();
    ASSERT_EQ(Cmd("set chkSys(12) 0"), "");
    EXPECT_EQ(Get("chkSys(12)"), "0");
    ASSERT_EQ(Cmd("set optSysScreen(2) 1"), "");
    EXPECT_EQ(Get("optSysScreen(2)"), "1");
    EXPECT_EQ(Get("optSysScreen(1)"), "0");
    ASSERT_EQ(Cmd("set sldSndVolume(0) 120"), "");
    EXPECT_EQ(Get("sldSndVolume(0)"), "120");
    ASSERT_EQ(Cmd("set lstChList 2"), "");
    EXPECT_EQ(Get("lstChList"), "2");
    ASSERT_EQ(Cmd("tab screen"), "");
    EXPECT_EQ(Get("tbsView"), "screen");
    ASSERT_EQ(Cmd("set tbsView char"), "");
    EXPECT_EQ(Get("tbsView"), "char");
    EXPECT_EQ(Get("lblChColor"), "メッセージの色");
    EXPECT_EQ(Get("cmdOK.Enabled"), "1");
}

TEST_F(FrmConfigTest, SlidersStopAtTheirEnds) {
    Start();
    ASSERT_EQ(Cmd("set sldSndVolume(1) 999"), "");
    EXPECT_EQ(Get("sldSndVolume(1)"), "255");
    ASSERT_EQ(Cmd("set sldGrpAlpha(1) -4"), "");
    EXPECT_EQ(Get("sldGrpAlpha(1)"), "0");
    EXPECT_EQ(cfg->LongVal("NovelAlpha"), 0);
}

TEST_F(FrmConfigTest, OutOfRangeStoredValuesAreShownAtTheSlidersEnds) {
    WriteUserFile("[Config]\r\nBGMVolume=4000\r\nWndAlpha=-3\r\n");
    Start();
    EXPECT_EQ(Get("sldSndVolume(0)"), "255");
    EXPECT_EQ(Get("sldGrpAlpha(0)"), "0");
}

TEST_F(FrmConfigTest, TheScreenCentreBoxFollowsTheWindowOption) {
    Start();
    EXPECT_EQ(Get("chkSysScreenCenter.Enabled"), "1");
    ASSERT_EQ(Cmd("set optSysScreen(0) 1"), "");
    EXPECT_EQ(Get("chkSysScreenCenter.Enabled"), "0");
    EXPECT_EQ(Cmd("set chkSysScreenCenter 0"), "control disabled chkSysScreenCenter");
    ASSERT_EQ(Cmd("set optSysScreen(1) 1"), "");
    ASSERT_EQ(Cmd("set chkSysScreenCenter 0"), "");
    EXPECT_EQ(Get("chkSysScreenCenter"), "0");
}

TEST_F(FrmConfigTest, CommandsAReaderCouldNotGiveAreRefused) {
    Start();
    EXPECT_EQ(Cmd("set chkSys(14) 1"), "unknown control chkSys(14)");
    EXPECT_EQ(Cmd("set chkSys 1"), "unknown control chkSys");
    EXPECT_EQ(Cmd("set chkSndPan(0) 1"), "unknown control chkSndPan(0)");
    EXPECT_EQ(Cmd("set nothing 1"), "unknown control nothing");
    EXPECT_EQ(Cmd("set chkSys(x) 1"), "unknown control chkSys(x)");
    EXPECT_EQ(Cmd("set chkSys(1) 2"), "bad value 2 for chkSys(1)");
    EXPECT_EQ(Cmd("set sldSndVolume(0) loud"), "bad value loud for sldSndVolume(0)");
    EXPECT_EQ(Cmd("set optGrpAuto(1) 0"), "bad value 0 for optGrpAuto(1)");
    EXPECT_EQ(Cmd("set lstChList 4"), "bad value 4 for lstChList");
    EXPECT_EQ(Cmd("set cmbGrpFont -1"), "bad value -1 for cmbGrpFont");
    EXPECT_EQ(Cmd("set tbsView nowhere"), "bad value nowhere for tbsView");
    EXPECT_EQ(Cmd("set chkSys(1)"), "usage: dialog set CONTROL VALUE");
    EXPECT_EQ(Cmd("get lstChList(9)"), "unknown control lstChList(9)");
    EXPECT_EQ(Cmd("get chkSys(1).Colour"), "unknown control chkSys(1).Colour");
    EXPECT_EQ(Cmd("get cmdOK"), "unknown control cmdOK");
    EXPECT_EQ(Cmd("tab nowhere"), "unknown tab nowhere");
    EXPECT_EQ(Cmd("press ok"), "unknown dialog command press");
    EXPECT_EQ(Cmd("ok now"), "usage: dialog ok");
    EXPECT_TRUE(output.empty());
    // Nothing of that reached the configuration.
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(dialog->IsOpen());
}

TEST_F(FrmConfigTest, AClosedDialogTakesNoCommands) {
    Start();
    ASSERT_EQ(Cmd("cancel"), "");
    EXPECT_EQ(Cmd("ok"), "dialog not open");
    EXPECT_EQ(Cmd("set chkSys(1) 1"), "dialog not open");
    EXPECT_EQ(Cmd("close"), "dialog not open");
}

TEST_F(FrmConfigTest, ButtonsArePressedThroughSet) {
    Start();
    ASSERT_EQ(Cmd("set sldSndVolume(0) 5"), "");
    ASSERT_EQ(Cmd("set cmdCancel 1"), "");
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(cfg->LongVal("BGMVolume"), 200);
    dialog->LoadData();
    ASSERT_EQ(Cmd("set sldSndVolume(2) 5"), "");
    ASSERT_EQ(Cmd("set cmdOK 1"), "");
    EXPECT_EQ(cfg->LongVal("CVVolume"), 5);
    dialog->LoadData();
    EXPECT_EQ(Cmd("set cmdInit(4) 1"), "unknown control cmdInit(4)");
}

}  // namespace
}  // namespace zelk
