#pragma once
// The walking graphs of the scene: named points joined by undirected edges, searched wave by wave
// for the path a walker takes, and walked by distance. A Navigator holds the graphs of one walker:
// the base graph of the scene, the level's extra graph and the points of the clickable objects,
// composed into the working graph that is searched.

#include <map>
#include <string>
#include <vector>

class IXMLDOMNode;

struct NavPoint {
  int x = 0;
  int y = 0;
  std::string name;
  std::string direction;
  // Search state, kept only on the search's own copies.
  float distance = 0.0f;
  std::string predecessor;
};

struct NavEdge {
  std::string p1;
  std::string p2;
  float length = 0.0f;
};

struct NavSegment {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  float length = 0.0f;
  std::string direction;  // of the segment's end point
};

class NavGraph {
 public:
  // A `graph` element: its points/point and edges/edge children. The first point of a name stays.
  void LoadXml(IXMLDOMNode* graph);
  // The last path found stays until the next search.
  void Clear();
  void CopyFrom(const NavGraph& other);
  // Only on a graph made by CopyFrom or opened for merging: points of new names and edges between
  // pairs of names not yet joined.
  void MergeFrom(const NavGraph& other);
  void EnableMerge() { mMergeEnabled = true; }
  // Replaces a point of the same name; only on a graph open for merging.
  void AddPoint(int x, int y, const std::string& name, const std::string& direction);
  bool HasPoint(const std::string& name) const { return mPoints.count(name) != 0; }
  bool GetPointPosition(const std::string& name, int& x, int& y) const;
  // On success the segments hold the path from `from` to `to`.
  bool FindPath(const std::string& from, const std::string& to);
  // The position `time * speed` along the path; true while still on it. Past the end: its last point,
  // the end point's facing as a unit step, false.
  bool Walk(float time, float speed, int& x, int& y, int& dx, int& dy) const;

  const std::map<std::string, NavPoint>& Points() const { return mPoints; }
  const std::vector<NavEdge>& Edges() const { return mEdges; }
  const std::vector<NavSegment>& Segments() const { return mSegments; }

 private:
  using PointMap = std::map<std::string, NavPoint>;
  static void RelaxFrom(const NavPoint& from, std::vector<NavEdge>& edges, PointMap& points,
                        std::map<std::string, bool>& next);
  bool ChainBack(const PointMap& points, const std::string& to);
  void BuildSegments(const PointMap& points);

  PointMap mPoints;
  std::vector<NavEdge> mEdges;
  std::vector<std::string> mNameChain;
  std::vector<NavSegment> mSegments;
  bool mMergeEnabled = false;
};

// The unit step of a facing code ("br" is (1, 1)); false for any other text.
bool DirectionStep(const std::string& code, int& dx, int& dy);

class Navigator {
 public:
  explicit Navigator(const std::string& name) : mName(name) {}

  // Every graphs/graph under the root whose name is this navigator's; the last one counts.
  void LoadBaseGraphs(IXMLDOMNode* root);
  // The approach points that the clickable objects give for a walker of this name.
  void AddObjectPoints(const std::string& walker);
  // The level's graphs of this name, then the working graph: base, extra, object points.
  void LoadExtraGraphs(IXMLDOMNode* root);
  void ClearBase();
  void ClearExtra();
  void ClearObjects();

  bool SetCurrentPoint(const std::string& name);
  bool StartPath(const std::string& target, float speed);
  bool Advance(float dt, int& x, int& y, int& dx, int& dy);
  bool GetPointPosition(const std::string& name, int& x, int& y) const;

  const std::string& GetName() const { return mName; }
  const std::string& GetCurrentPoint() const { return mCurrentPoint; }
  NavGraph& Working() { return mWorking; }

 private:
  void LoadNamed(IXMLDOMNode* root, NavGraph& into);
  void ClearWith(NavGraph& graph);

  std::string mName;
  std::string mCurrentPoint;
  NavGraph mBase;
  NavGraph mExtra;
  NavGraph mWorking;
  NavGraph mObjects;
  float mSpeed = 0.0f;
  float mWalkedTime = 0.0f;
};
