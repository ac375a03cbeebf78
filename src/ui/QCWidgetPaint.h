#pragma once
// Drawing steps every game widget shares: the fade of the whole dialog chain and the placement of a
// cached label image through the widget's transform.

class QCCandyWidget;
class QCLabelImage;

namespace Velk {
class Graphics;
}

// The product of the opacity of the widget and of every game-widget parent.
float EffectiveOpacity(const QCCandyWidget* widget);
// Colourised image drawing in white with alpha = 255 x the effective opacity, truncated.
void BeginWidgetPaint(Velk::Graphics* g, const QCCandyWidget* widget);
// The label image over the widget's rectangle, through its transform, clipped to its transformed
// bounds on the screen. The context's clip is restored afterwards.
void DrawLabelImage(Velk::Graphics* g, QCCandyWidget* widget, const QCLabelImage& label);
class QCTexture;
// True when the texture's first frame names an image.
bool TextureHasImage(QCTexture* texture);
