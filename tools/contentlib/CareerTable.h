#pragma once
// The career's day table and what the level generator needs beside it: content/levels/career.tsv
// (one row per generated day), menus.txt (menus, cafes, reward weights) and notes.tsv (the
// briefing notes), plus the guest kinds and worker values of cfg.xml.

#include <pugixml.hpp>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "contentlib/Findings.h"

namespace Content {

struct CareerDay {
  int line = 0;
  int day = 0, cafe = 0, dayInCafe = 0, guests = 0;
  double t0 = 0, dt = 0;
  std::vector<int> tables;  // worker tables in use
  bool coffee = false, tea = false, cocoa = false, super = false;
  int seats = 0;
  std::string menu;
  std::array<int, 4> kinds{};  // integer weights of the guest kinds, in cfg.xml order
  double pair = 0, multi = 0, sit = 0, patience = 1, fn = 0, fe = 0;
  std::string upgrade;    // "func", "vis" or empty
  std::string bossSpeed;  // override_boss_speed as written, or empty
  double tidiness = 0;    // factor on tidiness_down, 0 when not set
};

struct Menu {
  std::vector<std::string> singles, pairs;
};

struct Cafe {
  std::string name;
  std::vector<std::string> workers;  // the worker kind at table 1, 2, ...
  std::string speed;                 // partparams speed as written
  int freeze = 0, clean = 0, candy = 0, bonusCash = 0, bonusSuperCash = 0;
  std::array<std::array<std::string, 5>, 6> awards;  // [award][reward kind], "0" for none
};

struct GuestKind {
  std::string name;
  int money = 0;        // client_money01_g: one product served at green
  double patience = 0;  // client_patience_speed
};

struct CareerTable {
  std::vector<CareerDay> days;
  std::map<std::string, Menu> menus;
  std::map<int, Cafe> cafes;
  std::map<int, std::string> notes;
  std::array<std::string, 5> rotatingNotes;
  std::vector<GuestKind> kinds;
  std::map<std::string, double> tidinessDown;  // per worker kind

  // Each parser reports "file:line: what" and returns false on a problem.
  bool ParseDays(const std::string& file, const std::string& text, Findings& findings);
  bool ParseMenus(const std::string& file, const std::string& text, Findings& findings);
  bool ParseNotes(const std::string& file, const std::string& text, Findings& findings);
  // Guest kinds (in document order) and worker values of the expanded cfg.xml.
  bool ReadConfig(const std::string& file, const pugi::xml_document& cfg, Findings& findings);

  const std::string& Note(int day) const;
};

}  // namespace Content
