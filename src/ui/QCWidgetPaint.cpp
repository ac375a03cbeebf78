#include "ui/QCWidgetPaint.h"

#include "engine/QCCandyWidget.h"
#include "engine/QCTexture.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "ui/QCLabelImage.h"

float EffectiveOpacity(const QCCandyWidget* widget) {
  float product = 1.0f;
  for (const QCCandyWidget* w = widget; w; w = w->mParentWidget) product *= w->mOpacity;
  return product;
}

void BeginWidgetPaint(Velk::Graphics* g, const QCCandyWidget* widget) {
  g->SetImageColorize(true);
  g->SetColor(Velk::Color(255, 255, 255, static_cast<int>(255.0f * EffectiveOpacity(widget))));
}

void DrawLabelImage(Velk::Graphics* g, QCCandyWidget* widget, const QCLabelImage& label) {
  if (!label.Image()) return;
  Velk::Matrix3x3 matrix;
  widget->GetTransform(matrix);
  Velk::Rect bounds, clip;
  widget->GetTransformedBounds(bounds, matrix);
  widget->ClipRectToScreen(clip, &bounds);
  Velk::Rect saved = g->mClipRect;
  g->mClipRect = clip;
  g->DrawImageTransformed(label.Image(), matrix, Velk::Rect(0, 0, widget->mWidth, widget->mHeight), 0, 0);
  g->mClipRect = saved;
}

bool TextureHasImage(QCTexture* texture) {
  return texture && !texture->Frames().empty() && !texture->Frames()[0].IsEmpty();
}
