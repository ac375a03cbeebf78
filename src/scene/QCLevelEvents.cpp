#include "scene/QCLevelEvents.h"

void QCLevelEvents::LoadLevelEvents(IXMLDOMNode*) {}
void QCLevelEvents::Tick(float) {}
QCEventRecord* QCLevelEvents::NextDueEvent() { return nullptr; }
void QCLevelEvents::TakeEvent() {}
bool QCLevelEvents::IsFinished() const { return true; }
float QCLevelEvents::GetProgress() const { return 0.0f; }
int QCLevelEvents::GetStageTarget() const { return 0; }
void QCLevelEvents::NextStage() {}
void QCLevelEvents::Reset() {}
void QCLevelEvents::Clear() {}
