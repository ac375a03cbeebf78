#include "engine/QCEffect.h"

#include <gtest/gtest.h>

#include "engine/CallRecorder.h"
#include "platform/modules/Modules.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

const char* kEffects = R"(<effects>
  <effect name="fade">
    <timers>
      <timer name="in" type="usual" ftime="1.0" direction="forward">
        <control id="1" starttime="0.0" endtime="0.0" function="TestRecordCall" type="point" active="true"/>
        <control id="2" starttime="0.5" endtime="0.0" function="TestRecordCall" type="point" active="true"/>
        <control id="3" starttime="0.25" function="NoSuchExport" type="point" active="true"/>
        <control id="4" starttime="0.25" function="TestRecordCall" type="point"/>
      </timer>
      <timer name="out" type="usual" ftime="2.0" direction="backward"/>
    </timers>
    <messages>
      <message name="restart" command="stop" timer_id="in"/>
      <message name="restart" command="start" timer_id="in"/>
      <message name="onshow" command="start" timer_id="in"/>
      <message name="onhide" command="start" timer_id="out"/>
      <message name="pause" command="pause" timer_id="in"/>
      <message name="resume" command="resume" timer_id="in"/>
      <message name="poke" command="call" timer_id="TestRecordEffect"/>
      <message name="poke" command="call" timer_id="NoSuchExport"/>
      <message name="broken" command="start" timer_id="nothing"/>
      <message name="odd" command="Start" timer_id="in"/>
    </messages>
  </effect>
  <effect name="it's &quot;quoted&quot;"><timers><timer name="t"/></timers></effect>
</effects>)";

class EffectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Velk::ModuleTable::RegisterProgramExport("TestRecordCall", reinterpret_cast<FARPROC>(RecordCall));
    Velk::ModuleTable::RegisterProgramExport("TestRecordEffect", reinterpret_cast<FARPROC>(RecordEffect));
    Velk::ModuleTable::HideEntry("", "TestRecordCall", false);
    Velk::ModuleTable::HideEntry("", "TestRecordEffect", false);
    mPak.Put("cfg/effect.xml", Utf16File(kEffects));
    LoadEffectDefinitions();
    mEffect.reset(CreateEffectByName("fade"));
    ASSERT_NE(mEffect, nullptr);
    Recorded().clear();
    CalledWith().clear();
  }
  void TearDown() override {
    mEffect.reset();
    ReleaseEffectDefinitions();
    Velk::ModuleTable::HideEntry("", "TestRecordCall");
    Velk::ModuleTable::HideEntry("", "TestRecordEffect");
  }
  QCTimer* In() { return mEffect->EffectGetTimer(0); }
  QCTimer* Out() { return mEffect->EffectGetTimer(1); }

  MemoryPak mPak;
  std::unique_ptr<QCEffect> mEffect;
};

}  // namespace

TEST_F(EffectTest, ReadsTimersByIndexAndMessagesByName) {
  EXPECT_EQ(mEffect->TimerCount(), 2u);
  EXPECT_EQ(In()->GetType(), kTimerUsual);
  EXPECT_FLOAT_EQ(In()->GetFtime(), 1.0f);
  EXPECT_EQ(In()->ControlCount(), 4u);
  EXPECT_EQ(Out()->GetDirection(), kTimerBackward);
  EXPECT_DOUBLE_EQ(Out()->GetTime(), 2.0);
  EXPECT_EQ(In()->GetState(), 0);
  EXPECT_TRUE(mEffect->EffectHasMessage("restart"));
  EXPECT_FALSE(mEffect->EffectHasMessage("onchange"));
  EXPECT_FALSE(mEffect->EffectSendMessage("onchange"));

  std::unique_ptr<QCEffect> quoted(CreateEffectByName("it's \"quoted\""));
  ASSERT_NE(quoted, nullptr);
  EXPECT_EQ(quoted->TimerCount(), 1u);
  EXPECT_EQ(CreateEffectByName("none"), nullptr);
}

TEST_F(EffectTest, StartFiresControlsAtTheStartAtOnceAndRunsThemToTheEnd) {
  EXPECT_TRUE(mEffect->EffectSendMessage("onshow"));
  // The update that follows every message fires the point at 0; the control without an export is
  // skipped and the inactive one never fires.
  ASSERT_EQ(Recorded().size(), 1u);
  EXPECT_EQ(Recorded()[0].id, 1);
  EXPECT_EQ(Recorded()[0].owner, mEffect.get());
  // The first step starts at 0 again, so the point there fires once more.
  mEffect->EffectUpdate(0.6f);
  ASSERT_EQ(Recorded().size(), 3u);
  EXPECT_EQ(Recorded()[1].id, 1);
  EXPECT_EQ(Recorded()[2].id, 2);
  mEffect->EffectUpdate(0.6f);
  EXPECT_TRUE(In()->IsFinished());
  mEffect->EffectUpdate(0.6f);
  EXPECT_DOUBLE_EQ(In()->GetTime(), 2.0 * 0.6f) << "a finished timer is no longer advanced";
}

TEST_F(EffectTest, StopThenStartRestartsAndResumeContinues) {
  mEffect->EffectSendMessage("onshow");
  mEffect->EffectUpdate(0.5f);
  mEffect->EffectSendMessage("restart");
  EXPECT_EQ(In()->GetState(), 1);
  EXPECT_DOUBLE_EQ(In()->GetTime(), 0.0);

  mEffect->EffectUpdate(0.25f);
  mEffect->EffectSendMessage("pause");
  mEffect->EffectUpdate(0.25f);
  EXPECT_DOUBLE_EQ(In()->GetTime(), 0.25);
  mEffect->EffectSendMessage("resume");
  mEffect->EffectUpdate(0.25f);
  EXPECT_DOUBLE_EQ(In()->GetTime(), 0.5);
  mEffect->EffectSendMessage("onshow");
  EXPECT_DOUBLE_EQ(In()->GetTime(), 0.0);

  mEffect->EffectSendMessage("onhide");
  mEffect->EffectUpdate(0.5f);
  EXPECT_DOUBLE_EQ(Out()->GetTime(), 1.5) << "a backward timer starts at its duration";
  mEffect->EffectSendMessage("onhide");
  EXPECT_DOUBLE_EQ(Out()->GetTime(), 2.0);
}

TEST_F(EffectTest, CallBindingsReceiveTheEffect) {
  EXPECT_TRUE(mEffect->EffectSendMessage("poke"));
  ASSERT_EQ(CalledWith().size(), 1u);
  EXPECT_EQ(CalledWith()[0], mEffect.get());
  EXPECT_TRUE(Recorded().empty());
}

TEST_F(EffectTest, ADisabledEffectChangesStatesButAdvancesNothing) {
  mEffect->SetEnabled(false);
  EXPECT_TRUE(mEffect->EffectSendMessage("onshow"));
  EXPECT_EQ(In()->GetState(), 1);
  mEffect->EffectUpdate(0.6f);
  EXPECT_DOUBLE_EQ(In()->GetTime(), 0.0);
  EXPECT_TRUE(Recorded().empty());
}

TEST_F(EffectTest, BindingsThatNameNothingDoNothing) {
  EXPECT_TRUE(mEffect->EffectSendMessage("broken"));
  EXPECT_TRUE(mEffect->EffectSendMessage("odd")) << "an unknown command is still a binding";
  EXPECT_EQ(In()->GetState(), 0);
  EXPECT_EQ(Out()->GetState(), 0);

  EXPECT_TRUE(mEffect->EffectIsMessageEnabled("restart"));
  mEffect->EffectEnableMessage("restart", false);
  EXPECT_FALSE(mEffect->EffectIsMessageEnabled("restart"));
  EXPECT_FALSE(mEffect->EffectIsMessageEnabled("nothing"));
  mEffect->EffectSendMessage("restart");
  EXPECT_EQ(In()->GetState(), 0) << "disabled bindings do not run";
}

TEST_F(EffectTest, TimersAndParametersByIdAndNoDefinitionsWithoutTheFile) {
  EXPECT_FALSE(mEffect->EffectAddTimer(1));
  EXPECT_TRUE(mEffect->EffectAddTimer(5));
  EXPECT_EQ(mEffect->EffectGetTimer(5)->GetOwner(), mEffect.get());
  EXPECT_EQ(mEffect->EffectGetTimer(4), nullptr);
  int frame = 3;
  EXPECT_TRUE(mEffect->EffectSetParam(kParamFrame, &frame));
  EXPECT_EQ(mEffect->EffectGetParam(kParamFrame), &frame);
  EXPECT_EQ(mEffect->EffectGetParam(kParamGraphics), nullptr);

  mPak.Remove("cfg/effect.xml");
  LoadEffectDefinitions();
  EXPECT_EQ(CreateEffectByName("fade"), nullptr);
}
