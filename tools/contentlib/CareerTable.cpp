#include "contentlib/CareerTable.h"

#include <cstdlib>
#include <sstream>

#include "contentlib/DescriptionReader.h"

namespace Content {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// The lines of a tab-separated file that are neither blank nor comments, with their numbers.
std::vector<std::pair<int, std::vector<std::string>>> Rows(const std::string& text) {
  std::vector<std::pair<int, std::vector<std::string>>> rows;
  int number = 0;
  for (std::string line : Split(text, '\n')) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    rows.emplace_back(number, Split(line, '\t'));
  }
  return rows;
}

bool Number(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0';
}

bool Whole(const std::string& text, int& value) {
  char* end = nullptr;
  value = static_cast<int>(std::strtol(text.c_str(), &end, 10));
  return !text.empty() && *end == '\0';
}

// One row of career.tsv; false names the first column that does not read.
bool ReadDay(const std::vector<std::string>& c, CareerDay& d, std::string& bad) {
  static const char* kColumns[] = {"day",     "cafe",     "day_in_cafe", "guests", "t0",      "dt",         "tables",
                                   "sources", "seats",    "super",       "menu",   "kinds",   "pair",       "multi",
                                   "sit",     "patience", "fn",          "fe",     "upgrade", "boss_speed", "tidiness"};
  if (c.size() != std::size(kColumns)) return bad = "21 columns expected", false;
  auto fail = [&](int i) { return bad = std::string("column ") + kColumns[i] + " '" + c[i] + "'", false; };
  if (!Whole(c[0], d.day) || d.day < 2) return fail(0);
  if (!Whole(c[1], d.cafe) || d.cafe < 1 || d.cafe > 3) return fail(1);
  if (!Whole(c[2], d.dayInCafe)) return fail(2);
  if (!Whole(c[3], d.guests) || d.guests < 1) return fail(3);
  if (!Number(c[4], d.t0)) return fail(4);
  if (!Number(c[5], d.dt)) return fail(5);
  for (const std::string& t : Split(c[6], ',')) {
    int table = 0;
    if (!Whole(t, table) || table < 1) return fail(6);
    d.tables.push_back(table);
  }
  for (const std::string& s : Split(c[7], '+')) {
    if (s == "cm")
      d.coffee = true;
    else if (s == "m1")
      d.tea = true;
    else if (s == "m2")
      d.cocoa = true;
    else if (s != "-")
      return fail(7);
  }
  if (!Whole(c[8], d.seats) || d.seats < 0 || d.seats > 4) return fail(8);
  if (c[9] != "yes" && c[9] != "no") return fail(9);
  d.super = c[9] == "yes";
  d.menu = c[10];
  const std::vector<std::string> kinds = Split(c[11], ':');
  if (kinds.size() != d.kinds.size()) return fail(11);
  for (size_t i = 0; i < kinds.size(); ++i)
    if (!Whole(kinds[i], d.kinds[i]) || d.kinds[i] < 0) return fail(11);
  double* numbers[] = {&d.pair, &d.multi, &d.sit, &d.patience, &d.fn, &d.fe};
  for (int i = 0; i < 6; ++i)
    if (!Number(c[12 + i], *numbers[i])) return fail(12 + i);
  if (c[18] != "func" && c[18] != "vis" && c[18] != "-") return fail(18);
  d.upgrade = c[18] == "-" ? "" : c[18];
  double speed = 0;
  if (c[19] != "-" && !Number(c[19], speed)) return fail(19);
  d.bossSpeed = c[19] == "-" ? "" : c[19];
  if (c[20] != "-" && !Number(c[20], d.tidiness)) return fail(20);
  return true;
}

}  // namespace

bool CareerTable::ParseDays(const std::string& file, const std::string& text, Findings& findings) {
  const size_t before = findings.Count();
  for (const auto& [line, columns] : Rows(text)) {
    CareerDay day;
    std::string bad;
    day.line = line;
    if (!ReadDay(columns, day, bad))
      findings.Add(file, line, bad);
    else if (!days.empty() && day.day != days.back().day + 1)
      findings.Add(file, line, "days must follow each other");
    else
      days.push_back(std::move(day));
  }
  return findings.Count() == before;
}

bool CareerTable::ParseMenus(const std::string& file, const std::string& text, Findings& findings) {
  DescriptionReader reader(file, findings);
  const size_t before = findings.Count();
  for (const DescriptionLine& line : reader.Read(text)) {
    const std::string head = line.words.empty() ? "" : line.words[0];
    if (head == "menu" && line.words.size() >= 3) {
      Menu& menu = menus[line.words[1]];
      bool pairs = false;
      for (size_t i = 2; i < line.words.size(); ++i) {
        if (line.words[i] == "|")
          pairs = true;
        else
          (pairs ? menu.pairs : menu.singles).push_back(line.words[i]);
      }
    } else if (head == "cafe" && line.words.size() == 2) {
      int number = 0;
      if (!reader.Integer(line, line.words[1], number, 1, 3) ||
          !reader.OnlyOptions(
              line, {"name", "workers", "speed", "freeze", "clean", "candy", "bonus_cash", "bonus_super_cash"}))
        continue;
      Cafe& cafe = cafes[number];
      auto option = [&](const char* key) { return line.options.count(key) ? line.options.at(key) : std::string(); };
      cafe.name = option("name");
      for (char& ch : cafe.name) ch = ch == '_' ? ' ' : ch;
      cafe.workers = Split(option("workers"), ',');
      cafe.speed = option("speed");
      int* values[] = {&cafe.freeze, &cafe.clean, &cafe.candy, &cafe.bonusCash, &cafe.bonusSuperCash};
      const char* keys[] = {"freeze", "clean", "candy", "bonus_cash", "bonus_super_cash"};
      for (int i = 0; i < 5; ++i) reader.Integer(line, option(keys[i]), *values[i], 0, 100000);
    } else if (head == "award" && line.words.size() == 8) {
      int cafe = 0, award = 0;
      if (!reader.Integer(line, line.words[1], cafe, 1, 3) || !reader.Integer(line, line.words[2], award, 1, 6))
        continue;
      for (int k = 0; k < 5; ++k) {
        double weight = 0;
        if (reader.Number(line, line.words[3 + k], weight, 0, 1)) cafes[cafe].awards[award - 1][k] = line.words[3 + k];
      }
    } else {
      reader.Fail(line, "expected: menu NAME singles | pairs, cafe N key=value..., or award CAFE AWARD w1..w5");
    }
  }
  return findings.Count() == before;
}

bool CareerTable::ParseNotes(const std::string& file, const std::string& text, Findings& findings) {
  const size_t before = findings.Count();
  for (const auto& [line, columns] : Rows(text)) {
    int day = 0;
    if (columns.size() != 2 || columns[1].empty()) {
      findings.Add(file, line, "expected: day<TAB>note");
    } else if (columns[0].size() == 2 && columns[0][0] == '%' && columns[0][1] >= '0' && columns[0][1] <= '4') {
      rotatingNotes[columns[0][1] - '0'] = columns[1];
    } else if (Whole(columns[0], day) && day >= 1) {
      notes[day] = columns[1];
    } else {
      findings.Add(file, line, "'" + columns[0] + "' is neither a day nor %0 .. %4");
    }
  }
  return findings.Count() == before;
}

bool CareerTable::ReadConfig(const std::string& file, const pugi::xml_document& cfg, Findings& findings) {
  for (pugi::xml_node client : cfg.document_element().child("clients").children("client"))
    kinds.push_back({client.attribute("name").value(), client.attribute("client_money01_g").as_int(),
                     client.attribute("client_patience_speed").as_double()});
  for (pugi::xml_node worker : cfg.document_element().child("workers").children("worker"))
    tidinessDown[worker.attribute("name").value()] = worker.attribute("tidiness_down").as_double();
  if (kinds.size() != 4) findings.Add(file, "the level generator needs exactly four guest kinds in clients");
  return kinds.size() == 4;
}

const std::string& CareerTable::Note(int day) const {
  auto it = notes.find(day);
  return it != notes.end() ? it->second : rotatingNotes[day % 5];
}

}  // namespace Content
