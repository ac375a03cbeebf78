#include "scene/NavGraph.h"

#include <cmath>
#include <set>

#include "engine/XmlAccess.h"
#include "scene/QCPickItem.h"

namespace {

float SegmentLength(int x1, int y1, int x2, int y2) {
  const int dx = x1 - x2;
  const int dy = y1 - y2;
  return static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
}

NavPoint ReadPoint(IXMLDOMNode* node) {
  NavPoint point;
  point.name = XmlReadName(node, L"name");
  point.direction = XmlReadName(node, L"direction");
  XmlGetAttrInt(node, L"x", point.x);
  XmlGetAttrInt(node, L"y", point.y);
  return point;
}

NavEdge ReadEdge(IXMLDOMNode* node) {
  NavEdge edge;
  edge.p1 = XmlReadName(node, L"p1");
  edge.p2 = XmlReadName(node, L"p2");
  return edge;
}

bool Joins(const NavEdge& edge, const std::string& a, const std::string& b) {
  return (edge.p1 == a && edge.p2 == b) || (edge.p1 == b && edge.p2 == a);
}

}  // namespace

bool DirectionStep(const std::string& code, int& dx, int& dy) {
  static const struct {
    const char* code;
    int dx, dy;
  } kSteps[] = {{"t", 0, -1}, {"tr", 1, -1}, {"r", 1, 0},  {"br", 1, 1},
                {"b", 0, 1},  {"bl", -1, 1}, {"l", -1, 0}, {"tl", -1, -1}};
  for (const auto& step : kSteps) {
    if (code != step.code) continue;
    dx = step.dx;
    dy = step.dy;
    return true;
  }
  return false;
}

void NavGraph::LoadXml(IXMLDOMNode* graph) {
  Clear();
  XmlForEach(graph, L"points/point", [this](IXMLDOMNode* node) {
    NavPoint point = ReadPoint(node);
    mPoints.emplace(point.name, point);
  });
  XmlForEach(graph, L"edges/edge", [this](IXMLDOMNode* node) { mEdges.push_back(ReadEdge(node)); });
}

void NavGraph::Clear() {
  mMergeEnabled = false;
  mPoints.clear();
  mEdges.clear();
  mNameChain.clear();
}

void NavGraph::CopyFrom(const NavGraph& other) {
  Clear();
  mMergeEnabled = true;
  mPoints = other.mPoints;
  mEdges = other.mEdges;
}

void NavGraph::MergeFrom(const NavGraph& other) {
  if (!mMergeEnabled) return;
  for (const auto& [name, point] : other.mPoints) mPoints.emplace(name, point);
  for (const NavEdge& edge : other.mEdges) {
    bool present = false;
    for (const NavEdge& mine : mEdges) present = present || Joins(mine, edge.p1, edge.p2);
    if (!present) mEdges.push_back(edge);
  }
}

void NavGraph::AddPoint(int x, int y, const std::string& name, const std::string& direction) {
  if (!mMergeEnabled) return;
  NavPoint point;
  point.x = x;
  point.y = y;
  point.name = name;
  point.direction = direction;
  mPoints[name] = point;
}

bool NavGraph::GetPointPosition(const std::string& name, int& x, int& y) const {
  auto it = mPoints.find(name);
  if (it == mPoints.end()) return false;
  x = it->second.x;
  y = it->second.y;
  return true;
}

void NavGraph::RelaxFrom(const NavPoint& from, std::vector<NavEdge>& edges, PointMap& points,
                         std::map<std::string, bool>& next) {
  const float d = from.distance;
  for (const NavEdge& edge : edges) {
    const std::string* other = nullptr;
    if (edge.p1 == from.name)
      other = &edge.p2;
    else if (edge.p2 == from.name)
      other = &edge.p1;
    else
      continue;
    NavPoint& o = points.at(*other);
    const float nd = edge.length + d;
    if (!o.predecessor.empty() && o.distance < nd) continue;
    // A zero-length edge never gives an equal route of its own: relabelling over it would have two
    // points at one spot name each other, and neither would lead back to the start.
    if (!o.predecessor.empty() && o.distance == nd && edge.length == 0.0f) continue;
    if (o.predecessor == "self") continue;
    o.predecessor = from.name;
    o.distance = nd;
    next.emplace(o.name, true);
  }
}

bool NavGraph::FindPath(const std::string& from, const std::string& to) {
  mNameChain.clear();
  mSegments.clear();
  PointMap points = mPoints;
  std::vector<NavEdge> edges = mEdges;
  if (!points.count(from)) return false;
  for (auto& [name, point] : points) {
    point.predecessor = name == from ? "self" : "";
    point.distance = 0.0f;
  }
  for (NavEdge& edge : edges) {
    auto a = points.find(edge.p1);
    auto b = points.find(edge.p2);
    if (a == points.end() || b == points.end()) return false;
    edge.length = SegmentLength(a->second.x, a->second.y, b->second.x, b->second.y);
  }
  // No route gets shorter after as many waves as there are points; the cap is a bound on the work.
  std::map<std::string, bool> frontier{{from, true}};
  for (size_t wave = 0; !frontier.empty() && wave < points.size(); ++wave) {
    std::map<std::string, bool> next;
    for (const auto& entry : frontier) RelaxFrom(points.at(entry.first), edges, points, next);
    frontier.swap(next);
  }
  if (!ChainBack(points, to)) {
    mNameChain.clear();
    return false;
  }
  BuildSegments(points);
  return !mSegments.empty();
}

bool NavGraph::ChainBack(const PointMap& points, const std::string& to) {
  std::set<std::string> seen;
  auto it = points.find(to);
  while (it != points.end()) {
    const NavPoint& point = it->second;
    // Points at one spot can name each other; such a chain never reaches the start.
    if (!seen.insert(point.name).second || seen.size() > points.size()) return false;
    if (!point.predecessor.empty()) mNameChain.push_back(point.name);
    it = points.find(point.predecessor);
  }
  return true;
}

void NavGraph::BuildSegments(const PointMap& points) {
  if (mNameChain.size() < 2) {
    mNameChain.clear();
    return;
  }
  const NavPoint* current = &points.at(mNameChain.back());
  mNameChain.pop_back();
  while (!mNameChain.empty()) {
    const NavPoint& next = points.at(mNameChain.back());
    mNameChain.pop_back();
    NavSegment segment;
    segment.x1 = current->x;
    segment.y1 = current->y;
    segment.x2 = next.x;
    segment.y2 = next.y;
    segment.length = SegmentLength(current->x, current->y, next.x, next.y);
    segment.direction = next.direction;
    mSegments.push_back(segment);
    current = &next;
  }
}

bool NavGraph::Walk(float time, float speed, int& x, int& y, int& dx, int& dy) const {
  float d = time * speed;
  for (const NavSegment& s : mSegments) {
    if (d > s.length) {
      d -= s.length;
      continue;
    }
    // A segment of length 0 is already walked to its end.
    const float ratio = s.length > 0.0f ? d / s.length : 1.0f;
    x = s.x1 + static_cast<int>(static_cast<float>(s.x2 - s.x1) * ratio);
    y = s.y1 + static_cast<int>(static_cast<float>(s.y2 - s.y1) * ratio);
    dx = s.x2 - s.x1;
    dy = s.y2 - s.y1;
    return true;
  }
  if (mSegments.empty()) {
    x = 0;
    y = 0;
    return false;
  }
  const NavSegment& last = mSegments.back();
  x = last.x2;
  y = last.y2;
  DirectionStep(last.direction, dx, dy);
  return false;
}

void Navigator::LoadNamed(IXMLDOMNode* root, NavGraph& into) {
  XmlForEach(root, L"graphs/graph", [&](IXMLDOMNode* node) {
    if (XmlReadName(node, L"name") == mName) into.LoadXml(node);
  });
}

void Navigator::LoadBaseGraphs(IXMLDOMNode* root) { LoadNamed(root, mBase); }

void Navigator::AddObjectPoints(const std::string& walker) {
  mObjects.EnableMerge();
  for (const auto& [name, item] : PickableMap) {
    int x = 0;
    int y = 0;
    std::string direction;
    if (!item->FindPoint(walker, x, y, direction)) continue;
    mObjects.AddPoint(item->mPosX + item->mOffsX + x, item->mPosY + item->mOffsY + y, name, direction);
  }
}

void Navigator::LoadExtraGraphs(IXMLDOMNode* root) {
  LoadNamed(root, mExtra);
  mWorking.CopyFrom(mBase);
  mWorking.MergeFrom(mExtra);
  mWorking.MergeFrom(mObjects);
}

void Navigator::ClearWith(NavGraph& graph) {
  mWorking.Clear();
  graph.Clear();
  mCurrentPoint.clear();
}

void Navigator::ClearBase() { ClearWith(mBase); }
void Navigator::ClearExtra() { ClearWith(mExtra); }
void Navigator::ClearObjects() { ClearWith(mObjects); }

bool Navigator::SetCurrentPoint(const std::string& name) {
  if (!mWorking.HasPoint(name)) return false;
  mCurrentPoint = name;
  return true;
}

bool Navigator::StartPath(const std::string& target, float speed) {
  if (!mWorking.HasPoint(target) || !mWorking.FindPath(mCurrentPoint, target)) return false;
  mSpeed = speed;
  mWalkedTime = 0.0f;
  return true;
}

bool Navigator::Advance(float dt, int& x, int& y, int& dx, int& dy) {
  mWalkedTime += dt;
  return mWorking.Walk(mWalkedTime, mSpeed, x, y, dx, dy);
}

bool Navigator::GetPointPosition(const std::string& name, int& x, int& y) const {
  return mWorking.GetPointPosition(name, x, y);
}
