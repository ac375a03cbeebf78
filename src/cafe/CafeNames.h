#pragma once
// The fixed names the cafe's objects, characters and screens agree on: object kinds, moods, item
// kinds, part, animation and sound names. Several texts stand under more than one name ("client",
// "tray", "idle_green"): each name says what the text is used as.

#include <string_view>

namespace CafeNames {

// Object kinds
inline constexpr char kObjWorker[] = "worker";
inline constexpr char kObjTable[] = "table";
inline constexpr char kObjClient[] = "client";
inline constexpr char kObjClientPlace[] = "client_place";
inline constexpr char kObjClientSit[] = "client_sit";
inline constexpr char kObjClientSitPlace[] = "client_sit_place";
inline constexpr char kObjTrashBin[] = "trash_bin";
inline constexpr char kObjShelv[] = "shelv";
inline constexpr char kObjTray[] = "tray";
inline constexpr char kObjBoss[] = "boss";
inline constexpr char kObjTableStatusHp[] = "table_status_hp";
inline constexpr char kObjTableStatusBubble[] = "table_status_bubble";
inline constexpr char kObjStatusBubble[] = "status_bubble";
inline constexpr char kObjStatusHpWorker[] = "status_hp_worker";
inline constexpr char kObjStatusHpClient[] = "status_hp_client";
inline constexpr char kObjItem[] = "item";
inline constexpr char kObjPickable[] = "pickable";
inline constexpr char kObjPeriodItem[] = "period_item";
inline constexpr char kObjItemBonus[] = "item_bonus";
inline constexpr char kObjBonus[] = "bonus";

// Customer moods
inline constexpr char kMoodScandal[] = "scandal";
inline constexpr char kMoodThink[] = "think";
inline constexpr char kMoodReady[] = "ready";
inline constexpr char kMoodClient[] = "client";
inline constexpr char kMoodMultiClient[] = "multi_client";
inline constexpr char kMoodSmall[] = "small";
inline constexpr char kMoodAggro[] = "aggro";

// A plate with nothing on it
inline constexpr char kEmptyMask[] = "0000";

// Item kinds
inline constexpr char kItemTray[] = "tray";
inline constexpr char kItemSit[] = "sit";
inline constexpr char kItemWash[] = "wash";
inline constexpr char kItemMaterial[] = "material";
inline constexpr char kItemSuperMaterial[] = "super_material";
inline constexpr char kItemSuper[] = "super";
inline constexpr char kItemPack[] = "pack";
inline constexpr char kItemBar[] = "bar";

// Targets and the boss's part that shows what he carries
inline constexpr char kTargetCoffeeMachine[] = "coffeemachine";
inline constexpr char kTargetWashStand[] = "wash_stand";
inline constexpr char kPartHeldItems[] = "held_items";

// Boss animations
inline constexpr char kAnimBossMoveEmpty[] = "boss_move_empty";
inline constexpr char kAnimBossMoveSecond[] = "boss_move_second";
inline constexpr char kAnimBossMoveFull[] = "boss_move_full";
inline constexpr char kAnimBossMoveFullSecond[] = "boss_move_full_second";
inline constexpr char kAnimBossIdleEmpty1[] = "boss_idle_empty1";
inline constexpr char kAnimBossIdleEmpty2[] = "boss_idle_empty2";
inline constexpr char kAnimBossIdleSecond[] = "boss_idle_second";
inline constexpr char kAnimBossIdleFull[] = "boss_idle_full";
inline constexpr char kAnimBossIdleFullSecond[] = "boss_idle_full_second";

// Worker animations
inline constexpr char kAnimWorkerIdleGreen[] = "idle_green";
inline constexpr char kAnimWorkerIdleYellow[] = "idle_yellow";
inline constexpr char kAnimWorkerIdleRed[] = "idle_red";
inline constexpr char kAnimWorkerReadyGreenBegin[] = "ready_green_begin";
inline constexpr char kAnimWorkerReadyGreenEnd[] = "ready_green_end";
inline constexpr char kAnimWorkerReadyGreenAction[] = "ready_green_action";
inline constexpr char kAnimWorkerReadyYellowAction[] = "ready_yellow_action";
inline constexpr char kAnimWorkerSwitchWork[] = "switch_work";
inline constexpr char kAnimWorkerSwitchIdle[] = "switch_idle";
inline constexpr char kAnimWorkerIdleBrokenWorkplace[] = "idle_broken_workplace";
inline constexpr char kAnimWorkerCookingIdle[] = "cooking_idle";
inline constexpr char kAnimWorkerCookingProcess01[] = "cooking_process_01";
inline constexpr char kAnimWorkerCookingProcess02[] = "cooking_process_02";
inline constexpr char kAnimWorkerCookingProcess03[] = "cooking_process_03";
inline constexpr char kAnimWorkerDirectCharacter[] = "direct_character";
inline constexpr char kAnimWorkerUp[] = "worker_up";

// Customer animations
inline constexpr char kAnimClientStandUp[] = "client_stand_up";
inline constexpr char kAnimClientSittingUp[] = "client_sitting_up";
inline constexpr char kAnimClientIdleGreen[] = "idle_green";
inline constexpr char kAnimClientIdleYellow[] = "idle_yellow";
inline constexpr char kAnimClientDiscontent[] = "discontent";
inline constexpr char kAnimClientDirectGreen[] = "direct_green";
inline constexpr char kAnimClientDirectYellow[] = "direct_yellow";
inline constexpr char kAnimClientIdleThinking[] = "idle_thinking";
inline constexpr char kAnimClientEatingProcess[] = "eating_process";
inline constexpr char kAnimClientScandal[] = "scandal";
inline constexpr char kAnimClientGoHappy[] = "go_happy";
inline constexpr char kAnimClientGoUnhappy[] = "go_unhappy";
inline constexpr char kAnimClientGoSitting[] = "go_sitting";

// Status bubbles
inline constexpr char kBubbleWorker[] = "status_bubble_worker";
inline constexpr char kBubbleClient[] = "status_bubble_client";
inline constexpr char kBubbleClientSit[] = "status_bubble_client_sit";

// State parts of animated objects
inline constexpr char kStateIdle[] = "idle";
inline constexpr char kStateActivation[] = "activation";
inline constexpr char kStateReady[] = "ready";
inline constexpr char kStateDeactivation[] = "deactivation";
inline constexpr char kStateGreenIdle[] = "greenidle";
inline constexpr char kStateYellowIdle[] = "yellowidle";
inline constexpr char kStateRedIdle[] = "redidle";
inline constexpr char kStateFreezeIdle[] = "freezeidle";

// Sounds
inline constexpr char kSndBossSteps[] = "boss_steps";
inline constexpr char kSndBossStepsFast[] = "boss_steps_fast";
inline constexpr char kSndBossTakeItem[] = "boss_take_item";
inline constexpr char kSndClick[] = "click";
inline constexpr char kSndButtonClick[] = "button_click";
inline constexpr char kSndButtonHover[] = "button_hover";
inline constexpr char kSndButton2Hover[] = "button2_hover";
inline constexpr char kSndButton2Click[] = "button2_click";
inline constexpr char kSndWorkerFinish[] = "worker_finish";
inline constexpr char kSndWorkerBegin[] = "worker_begin";
inline constexpr char kSndWorkerBroke[] = "worker_broke";
inline constexpr char kSndWorkerClean[] = "worker_clean";
inline constexpr char kSndMakeTrash[] = "make_trash";
inline constexpr char kSndClientSpawn[] = "client_spawn";
inline constexpr char kSndClientPositiv[] = "client_positiv";
inline constexpr char kSndClientNegativ[] = "client_negativ";
inline constexpr char kSndClientReady[] = "client_ready";
inline constexpr char kSndClientScandal[] = "client_scandal";
inline constexpr char kSndGoodDebriefingShow[] = "good_debriefing_show";
inline constexpr char kSndBadDebriefingShow[] = "bad_debriefing_show";
inline constexpr char kSndGoal[] = "goal";
inline constexpr char kSndExpert[] = "expert";
inline constexpr char kSndBriefingShow[] = "briefing_show";
inline constexpr char kSndJuice[] = "juice";
inline constexpr char kSndMinigameHit[] = "minigame_hit";
inline constexpr char kSndMinigameCrash[] = "minigame_crash";
inline constexpr char kSndMinigameClean[] = "minigame_clean";
inline constexpr char kSndMinigameCoin[] = "minigame_coin";
inline constexpr char kSndMinigameHappy[] = "minigame_happy";
inline constexpr char kSndMinigameSpeed[] = "minigame_speed";
inline constexpr char kSndMinigameIce[] = "minigame_ice";
inline constexpr char kSndWindowOpen[] = "window_open";
inline constexpr char kSndDebriefingMark[] = "debriefing_mark";
inline constexpr char kSndDebriefingMoney[] = "debriefing_money";
inline constexpr char kSndOnUpgrade[] = "on_upgrade";
inline constexpr char kSndOnDowngrade[] = "on_downgrade";

// The preference file, the window title's text id and the name of a fresh profile
inline constexpr char kPrefFileName[] = "pref.dat";
inline constexpr char kAppTitle[] = "app_title";
inline constexpr wchar_t kDefaultProfileName[] = L"unknown";

// The level event that brings in a customer
inline constexpr char kEventClient[] = "client";

// Every narrow name above, in order.
inline constexpr std::string_view kAllNames[] = {
    kObjWorker,
    kObjTable,
    kObjClient,
    kObjClientPlace,
    kObjClientSit,
    kObjClientSitPlace,
    kObjTrashBin,
    kObjShelv,
    kObjTray,
    kObjBoss,
    kObjTableStatusHp,
    kObjTableStatusBubble,
    kObjStatusBubble,
    kObjStatusHpWorker,
    kObjStatusHpClient,
    kObjItem,
    kObjPickable,
    kObjPeriodItem,
    kObjItemBonus,
    kObjBonus,
    kMoodScandal,
    kMoodThink,
    kMoodReady,
    kMoodClient,
    kMoodMultiClient,
    kMoodSmall,
    kMoodAggro,
    kEmptyMask,
    kItemTray,
    kItemSit,
    kItemWash,
    kItemMaterial,
    kItemSuperMaterial,
    kItemSuper,
    kItemPack,
    kItemBar,
    kTargetCoffeeMachine,
    kTargetWashStand,
    kPartHeldItems,
    kAnimBossMoveEmpty,
    kAnimBossMoveSecond,
    kAnimBossMoveFull,
    kAnimBossMoveFullSecond,
    kAnimBossIdleEmpty1,
    kAnimBossIdleEmpty2,
    kAnimBossIdleSecond,
    kAnimBossIdleFull,
    kAnimBossIdleFullSecond,
    kAnimWorkerIdleGreen,
    kAnimWorkerIdleYellow,
    kAnimWorkerIdleRed,
    kAnimWorkerReadyGreenBegin,
    kAnimWorkerReadyGreenEnd,
    kAnimWorkerReadyGreenAction,
    kAnimWorkerReadyYellowAction,
    kAnimWorkerSwitchWork,
    kAnimWorkerSwitchIdle,
    kAnimWorkerIdleBrokenWorkplace,
    kAnimWorkerCookingIdle,
    kAnimWorkerCookingProcess01,
    kAnimWorkerCookingProcess02,
    kAnimWorkerCookingProcess03,
    kAnimWorkerDirectCharacter,
    kAnimWorkerUp,
    kAnimClientStandUp,
    kAnimClientSittingUp,
    kAnimClientIdleGreen,
    kAnimClientIdleYellow,
    kAnimClientDiscontent,
    kAnimClientDirectGreen,
    kAnimClientDirectYellow,
    kAnimClientIdleThinking,
    kAnimClientEatingProcess,
    kAnimClientScandal,
    kAnimClientGoHappy,
    kAnimClientGoUnhappy,
    kAnimClientGoSitting,
    kBubbleWorker,
    kBubbleClient,
    kBubbleClientSit,
    kStateIdle,
    kStateActivation,
    kStateReady,
    kStateDeactivation,
    kStateGreenIdle,
    kStateYellowIdle,
    kStateRedIdle,
    kStateFreezeIdle,
    kSndBossSteps,
    kSndBossStepsFast,
    kSndBossTakeItem,
    kSndClick,
    kSndButtonClick,
    kSndButtonHover,
    kSndButton2Hover,
    kSndButton2Click,
    kSndWorkerFinish,
    kSndWorkerBegin,
    kSndWorkerBroke,
    kSndWorkerClean,
    kSndMakeTrash,
    kSndClientSpawn,
    kSndClientPositiv,
    kSndClientNegativ,
    kSndClientReady,
    kSndClientScandal,
    kSndGoodDebriefingShow,
    kSndBadDebriefingShow,
    kSndGoal,
    kSndExpert,
    kSndBriefingShow,
    kSndJuice,
    kSndMinigameHit,
    kSndMinigameCrash,
    kSndMinigameClean,
    kSndMinigameCoin,
    kSndMinigameHappy,
    kSndMinigameSpeed,
    kSndMinigameIce,
    kSndWindowOpen,
    kSndDebriefingMark,
    kSndDebriefingMoney,
    kSndOnUpgrade,
    kSndOnDowngrade,
    kPrefFileName,
    kAppTitle,
    kEventClient,
};

}  // namespace CafeNames
