#include "engine/QCDialog.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "app/VelkAppBase.h"
#include "engine/EngineUtil.h"
#include "engine/QCEffect.h"
#include "engine/QCEngine.h"
#include "common/Unicode.h"
#include "engine/XmlAccess.h"
#include "fonts/TruncToInt.h"
#include "graphics/Graphics.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kTypeSize = 128;
constexpr int kNameSize = 128;
constexpr int kTutorialNameSize = 260;

// The type keywords of the UI description, in the order they are tried (case-sensitive).
const char* const kWidgetTypes[] = {"qcbutton",   "qctext",   "qcdialog", "qcbar",  "qclist",    "qcscroll",
                                    "qccheckbox", "qcslider", "qcedit",   "qcanim", "qctutorial"};

// Creators of the UI widget classes, registered at start-up and read by the loading thread.
std::mutex gCreatorsLock;
std::map<std::string, QCWidgetCreator> gCreators;

QCWidgetCreator FindCreator(const std::string& keyword) {
  std::lock_guard<std::mutex> lock(gCreatorsLock);
  auto it = gCreators.find(keyword);
  return it == gCreators.end() ? QCWidgetCreator() : it->second;
}

bool IsDialogType(const std::string& type) { return type == "qcdialog" || type == "qctutorial"; }

}  // namespace

int NextButtonId() {
  static std::atomic<int> next{0};
  int id;
  do id = ++next;
  while (id == 0);
  return id;
}

void QCDialog::SetWidgetCreator(const std::string& keyword, QCWidgetCreator creator) {
  std::lock_guard<std::mutex> lock(gCreatorsLock);
  if (creator)
    gCreators[keyword] = std::move(creator);
  else
    gCreators.erase(keyword);
}

QCDialog::QCDialog(QCCandyWidget* parent, QCEngine* app) : QCCandyWidget(parent), mApp(app) {}

QCDialog::~QCDialog() {
  // A dialog that goes while modal must not stay on the manager's list.
  UnregisterModal();
}

// A missing element leaves the dialog empty; the log names it.
void QCDialog::LoadFromUi(IXMLDOMNode* node, const std::string& name) {
  XPathVars vars{{L"n", Velk::Utf8ToWide(name)}};
  if (XmlNodeRef element = SelectChild(node, L"element[@name=$n and @type=\"qcdialog\"]", vars)) {
    Build(element.Get());
    return;
  }
  DebugLog("UI element <%s> is missing: the dialog stays empty", name.c_str());
}

void QCDialog::BuildDialogFromXml(IXMLDOMNode* node) {
  ReadCommonXml(node);
  if (XmlNodeRef background = SelectChild(node, L"texture[@id=\"normal\"]")) {
    auto* texture = new QCTexture();
    ReadAnimatedTexture(texture, background.Get(), mWidth, mHeight);
    AddTexture(0, texture);
  }
  XmlGetAttrBool(node, L"modal", mModal);
  XmlForEach(node, L"element", [this](IXMLDOMNode* item) { BuildChild(item); });
}

void QCDialog::BuildChild(IXMLDOMNode* node) {
  char type[kTypeSize] = {};
  if (!XmlGetAttrString(node, L"type", type, kTypeSize)) return;
  const std::string keyword = type;
  if (std::find(std::begin(kWidgetTypes), std::end(kWidgetTypes), keyword) == std::end(kWidgetTypes)) {
    DebugLog("ui: unknown element type \"%s\" skipped", type);
    return;
  }
  char name[kTutorialNameSize] = {};
  const int nameSize = keyword == "qctutorial" ? kTutorialNameSize : kNameSize;
  if (!XmlGetAttrString(node, L"name", name, nameSize)) return;
  if (IsDialogType(keyword) && NestingDepth() >= kMaxNesting) {
    DebugLog("ui: dialogs nested deeper than %d levels; \"%s\" skipped", kMaxNesting, name);
    return;
  }
  QCCandyWidget* widget = CreateChild(keyword, node);
  if (!widget) return;
  if (widget->mEffect) widget->mEffect->EffectSendMessage("oncreate");
  BindControl(name, widget);
}

QCCandyWidget* QCDialog::CreateChild(const std::string& type, IXMLDOMNode* node) {
  if (IsDialogType(type)) {
    QCDialog* dialog = type == "qcdialog" ? new QCDialog(this, mApp) : new QCTutorialDialog(this, mApp);
    dialog->Build(node);
    return dialog;
  }
  QCWidgetCreator creator = FindCreator(type);
  if (!creator) {
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> lock(gCreatorsLock);
    if (reported.insert(type).second)
      DebugLog("ui: no widget class for \"%s\"; such elements are skipped", type.c_str());
    return nullptr;
  }
  return creator(this, node, mApp);
}

int QCDialog::NestingDepth() const {
  int depth = 0;
  for (const QCCandyWidget* w = mParentWidget; w && depth < kMaxNesting; w = w->mParentWidget) ++depth;
  return depth;
}

Velk::WidgetManager* QCDialog::Manager() const {
  if (mApp && mApp->mWidgetManager) return mApp->mWidgetManager;
  return mWidgetManager;
}

void QCDialog::RegisterModal() {
  Velk::WidgetManager* manager = Manager();
  if (mModalRegistered || !manager) return;
  manager->PushModal(this);
  mModalRegistered = true;
}

void QCDialog::UnregisterModal() {
  Velk::WidgetManager* manager = Manager();
  if (!mModalRegistered || !manager) return;
  manager->PopModal(this);
  mModalRegistered = false;
}

void QCDialog::SetModal(bool modal) {
  mModal = modal;
  if (modal)
    RegisterModal();
  else
    UnregisterModal();
}

void QCDialog::Activate() {
  QCCandyWidget::Activate();
  if (mModal) RegisterModal();
}

void QCDialog::Deactivate() {
  QCCandyWidget::Deactivate();
  UnregisterModal();
}

void QCDialog::SetBackground(const QCTextureRef& image, const int sourceRect[4]) {
  QCTexture* background = GetBackground();
  if (!background) return;
  background->SetImage(image);
  background->SetSourceRect(sourceRect);
}

void QCDialog::Draw(Velk::Graphics* g) {
  float opacity = mOpacity;
  for (const QCCandyWidget* w = mParentWidget; w; w = w->mParentWidget) opacity *= w->mOpacity;
  const int alpha = std::clamp(Velk::TruncToInt(255.0f * opacity), 0, 255);
  g->SetColor(Velk::Color(255, 255, 255, alpha));
  g->SetImageColorize(true);
  QCCandyWidget::Draw(g);
}

void QCTutorialDialog::Build(IXMLDOMNode* node) {
  BuildDialogFromXml(node);
  XmlGetAttrBool(node, L"clickhide", mClickHide);
}

void QCTutorialDialog::Update() {
  QCDialog::Update();
  mRestSeconds = AtRest() ? mRestSeconds + QCFrameSeconds() : 0.0f;
}

// A note shown anew, or hidden, forgets a press that came before: its release is not meant for it.
void QCTutorialDialog::SetVisible(bool visible) {
  if (visible != mVisible) ForgetPress();
  QCDialog::SetVisible(visible);
}

void QCTutorialDialog::OnShowHook() {
  ForgetPress();
  QCDialog::OnShowHook();
}

void QCTutorialDialog::ForgetPress() {
  mRestSeconds = 0.0f;
  mPressAnswered = false;
}

bool QCTutorialDialog::AnswersClicks() const { return AtRest() && mRestSeconds >= kRestBeforeClick; }

// The press decides: one that came while the note slid in was not meant for it, even when the
// release finds it arrived.
void QCTutorialDialog::MouseDown(int, int, int, int) { mPressAnswered = AnswersClicks(); }

void QCTutorialDialog::MouseUp(int, int) {
  if (mClickHide && std::exchange(mPressAnswered, false)) Hide();
}
