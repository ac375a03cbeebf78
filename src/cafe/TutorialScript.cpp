// The first career day's script: the player is led through one order, the washing, a second customer
// and then watches the boss serve a full cafe by itself before the tray's tokens are explained.

#include "cafe/QCTutorial.h"

namespace {

using Step = QCTutorial::Step;

// Every object the player can click on the first day.
#define TUTORIAL_ALL_OBJECTS                                                                                     \
  "client_place02", "client_place03", "client_place04", "trash_bin", "tray", "wash_stand", "table01", "table03", \
      "table04"

constexpr Step kDay1Steps[] = {
    /* 0 */ {.wait = 0, .delay = 0.0f, .hold = {1, 6, 4, 3}, .lock = {TUTORIAL_ALL_OBJECTS}},
    /* 1 */ {.wait = 1, .showPanel = 1, .hold = {5}, .unlock = {"client_place02"}},
    /* 2 */ {.wait = 2, .hidePanel = 1, .lock = {"client_place02"}},
    /* 3 */ {.wait = 4, .delay = 3.0f, .showPanel = 2},
    /* 4 */ {.wait = 0, .showPanel = 4, .hidePanel = 2, .unlock = {"table01"}},
    /* 5 */ {.wait = 2, .showPanel = 5, .hidePanel = 4, .lock = {"table01"}, .unlock = {"table04"}},
    /* 6 */ {.wait = 2, .showPanel = 6, .hidePanel = 5, .lock = {"table04"}, .unlock = {"table03"}},
    /* 7 */ {.wait = 2, .delay = 3.0f, .showPanel = 7, .hidePanel = 6, .release = {4, 3, 2}, .lock = {"table03"}},
    /* 8 */ {.wait = 0, .hidePanel = 7},
    /* 9 */ {.wait = 8, .showPanel = 8, .unlock = {"table01"}},
    /* 10 */ {.wait = 2, .showPanel = 9, .hidePanel = 8, .lock = {"table01"}, .unlock = {"client_place02"}},
    /* 11 */ {.wait = 2, .hidePanel = 9, .lock = {"client_place02"}},
    /* 12 */ {.wait = 3, .delay = 3.0f, .showPanel = 10},
    /* 13 */ {.wait = 0, .showPanel = 11, .hidePanel = 10, .unlock = {"wash_stand"}},
    /* 14 */ {.wait = 2, .showPanel = 12, .hidePanel = 11, .lock = {"wash_stand"}, .unlock = {"table01"}},
    /* 15 */ {.wait = 2, .hidePanel = 12, .release = {5}, .lock = {"table01"}},
    /* 16 */ {.wait = 1, .showPanel = 13, .hold = {5}, .unlock = {"client_place03"}},
    /* 17 */ {.wait = 2, .hidePanel = 13, .lock = {"client_place03"}},
    /* 18 */ {.wait = 4, .delay = 0.1f, .showPanel = 14},
    /* 19 */ {.wait = 0, .showPanel = 15, .unlock = {"table04"}},
    /* 20 */ {.wait = 2, .showPanel = 16, .hidePanel = 15, .lock = {"table04"}, .unlock = {"table03"}},
    /* 21 */ {.wait = 2, .delay = 0.1f, .hidePanel = 16, .lock = {"table03"}},
    /* 22 */ {.wait = 0, .delay = 0.1f, .showPanel = 17, .hidePanel = 14, .unlock = {"client_place03"}},
    /* 23 */ {.wait = 0, .showPanel = 18},
    /* 24 */ {.wait = 2, .delay = 0.1f, .hidePanel = 17, .lock = {"client_place03"}},
    /* 25 */ {.wait = 0, .delay = 5.0f, .hidePanel = 18, .tutorBackground = 1},
    /* 26 */ {.wait = 0, .release = {5, 6}, .tutorBackground = 1},
    /* 27 */ {.wait = 1, .hold = {5}, .tutorBackground = 1},
    /* 28 */ {.wait = 0, .release = {5}, .tutorBackground = 1},
    /* 29 */ {.wait = 1, .hold = {5}, .tutorBackground = 1},
    /* 30 */ {.wait = 0, .release = {5}, .tutorBackground = 1},
    /* 31 */ {.wait = 1, .delay = 5.0f, .showPanel = 19, .hold = {5}, .tutorBackground = 1},
    /* 32 */
    {.wait = 0, .showPanel = 20, .hidePanel = 19, .unlock = {"table01"}, .click = "table01", .tutorBackground = 1},
    /* 33 */ {.wait = 2, .delay = 0.3f, .lock = {"table01"}, .tutorBackground = 1},
    /* 34 */ {.wait = 0, .unlock = {"table04"}, .click = "table04", .tutorBackground = 1},
    /* 35 */ {.wait = 2, .delay = 0.3f, .lock = {"table04"}, .tutorBackground = 1},
    /* 36 */ {.wait = 0, .unlock = {"table03"}, .click = "table03", .tutorBackground = 1},
    /* 37 */ {.wait = 2, .delay = 0.3f, .lock = {"table03"}, .tutorBackground = 1},
    /* 38 */ {.wait = 0, .unlock = {"client_place04"}, .click = "client_place04", .tutorBackground = 1},
    /* 39 */ {.wait = 2, .delay = 0.3f, .lock = {"client_place04"}, .tutorBackground = 1},
    /* 40 */ {.wait = 0, .unlock = {"client_place03"}, .click = "client_place03", .tutorBackground = 1},
    /* 41 */ {.wait = 2, .delay = 0.3f, .lock = {"client_place03"}, .tutorBackground = 1},
    /* 42 */ {.wait = 0, .unlock = {"client_place02"}, .click = "client_place02", .tutorBackground = 1},
    /* 43 */
    {.wait = 2,
     .delay = 5.0f,
     .showPanel = 21,
     .hidePanel = 20,
     .lock = {"client_place02"},
     .awards = 4,
     .enableElement = 2},
    /* 44 */ {.wait = 6, .delay = 2.0f, .showPanel = 22, .hidePanel = 21},
    /* 45 */ {.wait = 0, .showPanel = 23, .hidePanel = 22, .enableElement = 2},
    /* 46 */ {.wait = 6, .delay = 3.0f, .showPanel = 24, .hidePanel = 23},
    /* 47 */ {.wait = 0, .hidePanel = 24, .release = {2, 5}, .unlock = {TUTORIAL_ALL_OBJECTS}},
    /* 48 */ {.wait = 1},
};

#undef TUTORIAL_ALL_OBJECTS

constexpr int kDay1Awards[] = {0, 0, 1, 0, 1, 1, 3, 1};
constexpr unsigned char kDay1AwardFlags[] = {0, 0, 0, 0, 0, 0, 0, 0};

template <typename T, int N>
constexpr int Count(const T (&)[N]) {
  return N;
}

}  // namespace

const QCTutorial::Script kTutorialScripts[] = {
    {1, kDay1Steps, Count(kDay1Steps), kDay1Awards, kDay1AwardFlags, Count(kDay1Awards)},
};
const int kTutorialScriptCount = Count(kTutorialScripts);
